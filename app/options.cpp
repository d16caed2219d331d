// The command line and the page's address, by the names of the controls table. Numbers are
// read as the dialog reads its answers (a decimal point whatever the locale, full-width forms
// as ASCII) and must be whole numbers of the option, finite and not underflowing to zero:
// "0,5", "1e", "nan" or "1e-400" are refused, not read in part.
#include "app/options.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "app/console.h"
#include "app/controls.h"
#include "app/lessons.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/harmonic_measure.h"
#include "app/locking_map.h"

const char* const USAGE = "Usage: forced-vdp [OPTION]...";

namespace {

using Kind = ControlKind;

// The option called name, or nullptr: a row of the table that the command line takes.
const Control* find_option(const std::string& name)
{
    const Control* control = control_named(name);
    return control != nullptr && is_option(*control) ? control : nullptr;
}

// "X,Y" (separator ',') or "FROM:TO" (':'): two numbers, each as console_parse_number reads
// one, and the first separator between them.
bool read_two(const char* text, char separator, std::array<double, 2>* two)
{
    const char* at = std::strchr(text, separator);
    if (at == nullptr)
        return false;
    const std::string first(text, at);
    return console_parse_number(first.c_str(), &(*two)[0]) &&
           console_parse_number(at + 1, &(*two)[1]);
}

// Text from the command line as a message shows it: control characters as '?', so that the
// message stays one line.
std::string shown(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

std::string bad_value(const Control& option, const char* value, const std::string& wanted)
{
    return "invalid value '" + shown(value) + "' for --" + option.name + ": " + wanted;
}

std::string bad_value(const Control& option, const char* value, Text wanted)
{
    return bad_value(option, value, wanted_text(Language::english, wanted));
}

// A layer given on (1, or nothing on the command line) or off (0).
void ask_layer(const Control& layer, bool on, Options* options)
{
    std::erase(options->layers, &layer);
    if (on)
        options->layers.push_back(&layer);
}

}  // namespace

bool read_whole(const char* text, long least, long most, long* value)
{
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (*text == '\0' || !std::all_of(text, text + std::strlen(text), digit))
        return false;
    errno = 0;
    const long v = std::strtol(text, nullptr, 10);
    if (errno != 0 || v < least || v > most)
        return false;
    *value = v;
    return true;
}

std::string set_option(const char* name, const char* value, Options* options)
{
    const Control* option = find_option(name);
    if (option == nullptr)
        return "unrecognized option '--" + shown(name) + "'";
    switch (option->kind) {
    case Kind::flag:
        options->*std::get<bool Options::*>(option->target) = true;
        return {};
    case Kind::value: {
        double v = 0.0;
        if (!console_parse_number(value, &v))
            return bad_value(*option, value, WANTS_NUMBER);
        options->*std::get<std::optional<double> Options::*>(option->target) = v;
        return {};
    }
    case Kind::frames: {
        long v = 0;
        if (!read_whole(value, 0, MAX_FRAMES, &v))
            return bad_value(*option, value, WANTS_FRAMES);
        options->frames = v;
        return {};
    }
    case Kind::family:
        if (std::strcmp(value, "e") != 0 && std::strcmp(value, "E") != 0)
            return bad_value(*option, value, WANTS_FAMILY);
        options->family = value[0];
        return {};
    case Kind::output:
        if (*value == '\0')
            return bad_value(*option, value, "a file name is needed");
        options->*std::get<std::string Options::*>(option->target) = value;
        return {};
    case Kind::layer:
        if (*value != '\0' && std::strcmp(value, "1") != 0 && std::strcmp(value, "0") != 0)
            return bad_value(*option, value, WANTS_LAYER);
        ask_layer(*option, std::strcmp(value, "0") != 0, options);
        return {};
    case Kind::language: {
        const std::optional<Language> language = read_language(value);
        if (!language)
            return bad_value(*option, value, WANTS_LANGUAGE);
        options->language = language;
        return {};
    }
    case Kind::pair: {
        std::array<double, 2> pair = {0.0, 0.0};
        if (!read_two(value, ',', &pair))
            return bad_value(*option, value, WANTS_PAIR);
        options->*std::get<std::optional<std::array<double, 2>> Options::*>(option->target) = pair;
        return {};
    }
    case Kind::ratios: {
        std::array<double, 2> ends{};
        // FROM:TO, which a sweep in steps of SWEEP_DEFAULT_STEP can take.
        if (!read_two(value, ':', &ends) ||
            !sweep_possible(ends[0], ends[1], SWEEP_DEFAULT_STEP))
            return bad_value(*option, value, WANTS_SWEEP);
        options->sweep = ends;
        return {};
    }
    case Kind::grid:
    case Kind::periods:
        if (!map_value_readable(option->name, value))
            return bad_value(*option, value, wanted_value(option->name));
        options->*std::get<std::string Options::*>(option->target) = value;
        return {};
    case Kind::lesson: {
        const bool list = strcasecmp(value, "list") == 0;
        if (!list && lesson_named(value) == nullptr)
            return bad_value(*option, value, WANTS_LESSON);
        options->lesson = list ? "list" : value;
        return {};
    }
    case Kind::lesson_step: {
        long v = 0;
        if (!read_whole(value, 1, MAX_FRAMES, &v))
            return bad_value(*option, value, WANTS_LESSON_STEP);
        options->lesson_step = v;
        return {};
    }
    case Kind::key:
    case Kind::view:
    case Kind::tool:
    case Kind::step:
        break;
    }
    return {};
}

namespace {

// One "--name", "--name=value" or "--name value" at argv[*i]; *i moves past what it used.
std::string read_long_option(int argc, char** argv, int* i, Options* options)
{
    const std::string arg = argv[*i] + 2;
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const Control* option = find_option(name);
    if (option == nullptr)
        return "unrecognized option '--" + shown(name) + "'";
    if (option->kind == Kind::flag || option->kind == Kind::layer) {
        if (equals != std::string::npos)
            return "option '--" + name + "' takes no value";
        return set_option(name.c_str(), "", options);
    }
    if (equals != std::string::npos)
        return set_option(name.c_str(), arg.c_str() + equals + 1, options);
    if (*i + 1 >= argc)
        return "option '--" + name + "' needs a value (" + option->value_name + ")";
    *i += 1;
    return set_option(name.c_str(), argv[*i], options);
}

// One of the platform's own options at argv[*i], kept with its value for the platform; *i
// moves past its value. An empty string, or a message where its value is missing or argv[*i]
// is none of them.
std::string keep_platform_option(int argc, char** argv, int* i,
                                 std::span<const PlatformOption> platform_options,
                                 Options* options)
{
    for (const PlatformOption& option : platform_options) {
        if (std::strcmp(argv[*i], option.name) != 0)
            continue;
        options->platform_args.push_back(argv[*i]);
        if (option.takes_value) {
            if (*i + 1 >= argc)
                return "option '" + std::string(option.name) + "' needs a value";
            options->platform_args.push_back(argv[++*i]);
        }
        return {};
    }
    return std::string(argv[*i][0] == '-' ? "unrecognized option '" : "unexpected argument '") +
           shown(argv[*i]) + "'";
}

}  // namespace

std::string parse_options(int argc, char** argv, Options* options,
                          std::span<const PlatformOption> platform_options)
{
    options->platform_args.assign(argv, argv + (argc > 0 ? 1 : 0));
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            if (i + 1 < argc)
                return "unexpected argument '" + shown(argv[i + 1]) + "'";
            break;
        }
        const std::string error = std::strncmp(arg, "--", 2) == 0
                                      ? read_long_option(argc, argv, &i, options)
                                      : keep_platform_option(argc, argv, &i, platform_options, options);
        if (!error.empty())
            return error;
    }
    if (const std::optional<AddressNote> refusal = lesson_refusal(*options))
        return bad_value(*find_option(refusal->name), refusal->value.c_str(), refusal->wanted);
    return {};
}

namespace {

// The window's keys that no option names, by key: "F1 key help, F2 save the picture, ...".
// text broken into lines of at most HELP_WIDTH characters at its blanks, each ended.
std::string wrapped(const std::string& text)
{
    constexpr std::size_t HELP_WIDTH = 80;
    std::string out, line;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t blank = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, blank - at);
        at = blank + 1;
        if (!line.empty() && line.size() + 1 + word.size() > HELP_WIDTH) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line + "\n";
}

std::string window_keys_text()
{
    std::vector<const Control*> keyed;
    for (const Control& control : CONTROLS)
        if (control.key >= FIRST_NAMED_KEY && !is_option(control))
            keyed.push_back(&control);
    std::sort(keyed.begin(), keyed.end(), [](const Control* a, const Control* b) { return a->key < b->key; });
    std::string text;
    for (const Control* control : keyed)
        text += (text.empty() ? "" : ", ") + key_cap(control->key) + " " +
                control_words(*control, control->help, Language::english);
    return text;
}

}  // namespace

std::string help_text()
{
    std::string text = std::string(USAGE) +
                       "\nInteractive simulator of the forced Van der Pol oscillator\n"
                       "  y'' - eps (1 - y^2) y' + y = F sin(z t).\n"
                       "Without options it asks for eps, F, z, y0 and v0 at the console.\n\n";
    for (const Control& option : CONTROLS) {
        if (!is_option(option))
            continue;
        std::string left = std::string("  --") + option.name;
        if (*option.value_name != '\0')
            left += std::string(" ") + option.value_name;
        left.resize(std::max<std::size_t>(left.size() + 2, 29), ' ');
        text += left + control_text(option, option.help, Language::english) + "\n";
    }
    text += "\nA value follows its option as --name VALUE or as --name=VALUE.\n"
            "Giving any of --eps, --force, --z, --y0, --v0 skips the start dialog; the others\n"
            "start from 0. --snapshot, --map-snapshot and the exports (--export-curves,\n"
            "--export-motion, --export-strobe, --export-sweep, --export-audio, --locking-map)\n"
            "ask nothing and write their messages to standard error; --snapshot and\n"
            "--map-snapshot need an X display, the exports do not.\n"
            "Their FILE '-' is standard output; an existing file is replaced (its permissions\n"
            "kept), a device or FIFO is written into, a symbolic link is followed; two of them\n"
            "cannot write to the same place.\n"
            "--export-audio plays angular frequency 1 at 220 Hz: a second of sound is\n"
            "2 pi 220 = 1382 time units of the motion, from its start.\n"
            "--sweep starts the run at z = FROM and runs its sweep (in the window on the Run\n"
            "clock, " + std::to_string(SWEEP_DRAW_STRIDE) +
            " frames to a frame drawn); with --snapshot and no --frames the\n"
            "picture is of the sweep's end. --export-sweep needs --sweep.\n"
            "--lesson list lists the lessons and --lesson ID prints one's steps, without a\n"
            "window; --lesson ID --step K opens that step's scenario, as the page's address\n"
            "lesson=ID&step=K does, and prints its question.\n"
            "The window system's own options (-display NAME, -geometry WxH+X+Y, ...) are\n"
            "passed on to it.\n" +
            wrapped("In the window: " + window_keys_text() + ".");
    return text;
}

bool layer_asked(const Options& options, const Control& layer)
{
    return std::find(options.layers.begin(), options.layers.end(), &layer) != options.layers.end();
}

bool has_parameters(const Options& options)
{
    return options.epsilon || options.force || options.z || options.y0 || options.v0;
}

std::optional<Language> read_language(const char* value)
{
    if (strncasecmp(value, "en", 2) == 0)
        return Language::english;
    if (strncasecmp(value, "ja", 2) == 0)
        return Language::japanese;
    return std::nullopt;
}

Language chosen_language(const Options& options)
{
    if (options.language)
        return *options.language;
    const char* env = std::getenv("FORCED_VDP_LANG");
    if (env == nullptr || *env == '\0')
        return Language::japanese;
    if (const std::optional<Language> language = read_language(env))
        return *language;
    std::fprintf(stderr, "forced-vdp: FORCED_VDP_LANG=%s is neither en nor ja; Japanese it is\n",
                 shown(env).c_str());
    return Language::japanese;
}

Text wanted_value(const char* name)
{
    const Control* option = find_option(name);
    switch (option != nullptr ? option->kind : Kind::flag) {
    case Kind::value: return WANTS_NUMBER;
    case Kind::frames: return WANTS_FRAMES;
    case Kind::family: return WANTS_FAMILY;
    case Kind::language: return WANTS_LANGUAGE;
    case Kind::layer: return WANTS_LAYER;
    case Kind::pair: return WANTS_PAIR;
    case Kind::ratios: return WANTS_SWEEP;
    case Kind::grid: return WANTS_MAP_AXIS;
    case Kind::periods: return WANTS_MAP_PERIODS;
    case Kind::lesson: return WANTS_LESSON;
    case Kind::lesson_step: return WANTS_LESSON_STEP;
    case Kind::flag:
    case Kind::output:
    case Kind::key:
    case Kind::view:
    case Kind::tool:
    case Kind::step: break;
    }
    return NO_TEXT;
}

std::string wanted_text(Language language, Text wanted)
{
    if (wanted == WANTS_SWEEP) {
        // The largest measurable ratio, to three digits, down.
        char most[32];
        std::snprintf(most, sizeof most, "%.3g",
                      std::floor(largest_measurable_ratio() * 10.0) / 10.0);
        char span[32];
        std::snprintf(span, sizeof span, "%g", (SWEEP_CAPACITY - 1) / 2 * SWEEP_DEFAULT_STEP);
        return fill_text(text_in(language, wanted), {most, span});
    }
    if (wanted == WANTS_LESSON)
        return fill_text(text_in(language, wanted), {std::to_string(LESSONS.size())});
    return fill_text(text_in(language, wanted), {std::to_string(MAX_FRAMES)});
}

namespace {

constexpr std::size_t MOST_ADDRESS_NOTES = 20;   // a longer list of refusals tells no more

// An address parameter's value, where '+' would read as a blank.
std::string escaped_plus(std::string value)
{
    for (std::size_t at = value.find('+'); at != std::string::npos; at = value.find('+', at))
        value.replace(at, 1, "%2B");
    return value;
}

// As shortest_digits, as an address parameter's value.
std::string address_number(double v)
{
    return escaped_plus(shortest_digits(v));
}

// A model value (eps, force, z, y0, v0): a number a link carries. --seconds is a number too,
// but of the sound file, never of a scenario.
bool is_model_value(const Control& control)
{
    return control.kind == Kind::value && control.in_link;
}

// The names of the model values options does not give: "z, y0, v0", or "".
std::string values_not_given(const Options& options)
{
    std::string names;
    for (const Control& control : CONTROLS)
        if (is_model_value(control) && !(options.*std::get<std::optional<double> Options::*>(control.target)))
            names += (names.empty() ? "" : ", ") + std::string(control.name);
    return names;
}

}  // namespace

bool refuses(const AddressNote& note)
{
    return note.kind == AddressNoteKind::unknown_name || note.kind == AddressNoteKind::refused_value;
}

Options address_options(const std::vector<AddressParameter>& parameters,
                        std::vector<AddressNote>* notes, const std::string& fragment)
{
    Options options;
    notes->clear();
    std::vector<const Control*> given;
    std::size_t refusals = 0;
    for (const auto& [name, value] : parameters) {
        const Control* control = linked_control_named(name);
        std::optional<AddressNote> note;
        if (control == nullptr)
            note = AddressNote{AddressNoteKind::unknown_name, name, value};
        else if (!set_option(control->name, value.c_str(), &options).empty())
            note = AddressNote{AddressNoteKind::refused_value, name, value, wanted_value(control->name)};
        else if (std::find(given.begin(), given.end(), control) != given.end())
            note = AddressNote{AddressNoteKind::repeated, name, value};
        if (control != nullptr)
            given.push_back(control);
        if (!note)
            continue;
        refusals += refuses(*note) ? 1 : 0;
        if (!refuses(*note) || refusals <= MOST_ADDRESS_NOTES)
            notes->push_back(*note);
    }
    // A grid of more cells than a map holds is refused as its last axis.
    if (!map_grid_problem(options).empty()) {
        notes->push_back({AddressNoteKind::refused_value, "map-force", options.map_force, WANTS_MAP_GRID});
        ++refusals;
    }
    if (const std::optional<AddressNote> refusal = lesson_refusal(options)) {
        refusals += 1;
        notes->push_back(*refusal);
    }
    if (!fragment.empty())
        notes->push_back({AddressNoteKind::fragment, "", fragment});
    // Nothing runs half-given: after any refusal the dialog asks for every value.
    if (refusals > 0) {
        for (const Control& control : CONTROLS)
            if (is_model_value(control))
                options.*std::get<std::optional<double> Options::*>(control.target) = std::nullopt;
        options.frames = std::nullopt;
        options.second_start = std::nullopt;
        options.sweep = std::nullopt;
        options.lesson.clear();
        options.lesson_step = std::nullopt;
        return options;
    }
    const std::string not_given = values_not_given(options);
    if (has_parameters(options) && !not_given.empty())
        notes->push_back({AddressNoteKind::taken_as_zero, not_given, ""});
    return options;
}

std::string address_query(const Options& options)
{
    std::string query;
    const auto add = [&query](const Control& control, const std::string& value) {
        if (!query.empty())
            query += '&';
        query.append(link_name(control)).append("=").append(value);
    };
    for (const Control& control : CONTROLS) {
        if (!control.in_link)
            continue;
        if (control.kind == Kind::value)
            add(control, address_number(
                             (options.*std::get<std::optional<double> Options::*>(control.target))
                                 .value_or(0.0)));
        else if (control.kind == Kind::frames)
            add(control, std::to_string(options.frames.value_or(0)));
    }
    for (const Control& control : CONTROLS) {
        if (!control.in_link)
            continue;
        if (control.kind == Kind::family && options.family != 0)
            add(control, std::string(1, static_cast<char>(options.family)));
        else if (control.kind == Kind::language && options.language == Language::english)
            add(control, "en");
        else if (control.kind == Kind::layer && layer_asked(options, control))
            add(control, "1");
        else if (control.kind == Kind::pair && options.second_start)
            add(control, address_number((*options.second_start)[0]) + "," +
                             address_number((*options.second_start)[1]));
        else if (control.kind == Kind::ratios && options.sweep)
            add(control, address_number((*options.sweep)[0]) + ":" +
                             address_number((*options.sweep)[1]));
        else if ((control.kind == Kind::grid || control.kind == Kind::periods) &&
                 !(options.*std::get<std::string Options::*>(control.target)).empty())
            add(control, escaped_plus(options.*std::get<std::string Options::*>(control.target)));
        else if (control.kind == Kind::lesson && lesson_named(options.lesson) != nullptr)
            add(control, options.lesson);
        else if (control.kind == Kind::lesson_step && lesson_named(options.lesson) != nullptr)
            add(control, std::to_string(options.lesson_step.value_or(1)));
    }
    return query;
}

Options step_scenario(const LessonStep& step, std::vector<AddressNote>* notes)
{
    std::vector<AddressParameter> parameters;
    for (std::string_view rest = step.scenario; !rest.empty();) {
        const std::string_view part = rest.substr(0, rest.find('&'));
        const std::size_t equals = std::min(part.find('='), part.size());
        parameters.emplace_back(std::string(part.substr(0, equals)),
                                std::string(part.substr(std::min(equals + 1, part.size()))));
        rest.remove_prefix(std::min(part.size() + 1, rest.size()));
    }
    return address_options(parameters, notes);
}

std::optional<AddressNote> lesson_refusal(const Options& options)
{
    if (!options.lesson_step)
        return std::nullopt;
    const Lesson* lesson = lesson_named(options.lesson);
    if (lesson != nullptr && *options.lesson_step <= static_cast<long>(lesson->steps.size()))
        return std::nullopt;
    return AddressNote{AddressNoteKind::refused_value, "step", std::to_string(*options.lesson_step),
                       WANTS_LESSON_STEP};
}

void open_asked_lesson(Options* options)
{
    const Lesson* lesson = lesson_named(options->lesson);
    const long step = options->lesson_step.value_or(1);
    lesson_step_open = 1;
    if (lesson == nullptr || step < 1 || step > static_cast<long>(lesson->steps.size())) {
        lesson_open = options->lesson == "list" ? -1 : 0;
        return;
    }
    lesson_open = static_cast<int>(lesson - LESSONS.data()) + 1;
    lesson_step_open = static_cast<int>(step);
    if (has_parameters(*options))
        return;
    std::vector<AddressNote> notes;
    const Options scenario = step_scenario(lesson->steps[step - 1], &notes);
    options->epsilon = scenario.epsilon;
    options->force = scenario.force;
    options->z = scenario.z;
    options->y0 = scenario.y0;
    options->v0 = scenario.v0;
    options->family = scenario.family;
    options->layers = scenario.layers;
    options->frames = scenario.frames;
    options->second_start = scenario.second_start;
    options->sweep = scenario.sweep;
}
