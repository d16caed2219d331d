// The command line. Numbers are read as the dialog reads its answers (a decimal point whatever
// the locale, full-width forms as ASCII) and must be whole numbers of the option, finite and
// not underflowing to zero: "0,5", "1e", "nan" or "1e-400" are refused, not read in part.
#include "app/options.h"

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "app/console.h"
#include "core/state.h"

const char* const USAGE = "Usage: forced-vdp [OPTION]...";

namespace {

// A layer is a flag on the command line; as an address parameter it takes 1 (on) or 0 (off).
enum class Kind { flag, number, frames, family, path, language, layer };

// One accepted option; a flag, number or path names the member of Options it sets.
struct OptionEntry {
    const char* name;
    Kind kind;
    const char* value_name;
    const char* help;
    bool Options::*flag = nullptr;
    std::optional<double> Options::*number = nullptr;
    std::string Options::*path = nullptr;
};

const OptionEntry OPTIONS[] = {
    {"help", Kind::flag, "", "show this help and exit", &Options::help},
    {"version", Kind::flag, "", "show the version and exit", &Options::version},
    {"eps", Kind::number, "E", "negative damping ratio epsilon", {}, &Options::epsilon},
    {"force", Kind::number, "F", "forcing amplitude F", {}, &Options::force},
    {"z", Kind::number, "Z", "forcing frequency ratio z", {}, &Options::z},
    {"y0", Kind::number, "Y", "initial displacement y0", {}, &Options::y0},
    {"v0", Kind::number, "V", "initial velocity v0", {}, &Options::v0},
    {"family", Kind::family, "e|E", "show the family of ten curves for epsilon (e) or F (E)"},
    {"frames", Kind::frames, "N", "advance N frames (0 ... 1000000) before the window shows"},
    {"snapshot", Kind::path, "FILE.png", "write the frame after --frames as a PNG and exit", {}, {},
     &Options::snapshot},
    {"export-curves", Kind::path, "FILE.csv", "write the amplitude curves as CSV and exit", {}, {},
     &Options::export_curves},
    {"export-motion", Kind::path, "FILE.csv", "write frames 0 ... N (default 1000) as CSV and exit",
     {}, {}, &Options::export_motion},
    {"lang", Kind::language, "en|ja", "console language (default: FORCED_VDP_LANG, else ja)"},
    {"stability", Kind::layer, "", "draw the curve by its stability: stable, saddle, unstable (F3)",
     &Options::stability},
    {"measured", Kind::layer, "", "show the measured first-harmonic amplitude at z (F4)",
     &Options::measured},
};

// The window system's own options, with whether each takes a value.
constexpr struct {
    const char* name;
    bool takes_value;
} WINDOW_OPTIONS[] = {
    {"-display", true}, {"-geometry", true}, {"-iconic", false}, {"-direct", false},
    {"-indirect", false}, {"-gldebug", false}, {"-sync", false},
};

const OptionEntry* find_option(const std::string& name)
{
    for (const OptionEntry& entry : OPTIONS)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

bool read_frames(const char* text, long* value)
{
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*end != '\0' || errno != 0 || v > MAX_FRAMES)
        return false;
    *value = v;
    return true;
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

std::string bad_value(const OptionEntry& entry, const char* value, const char* wanted)
{
    return "invalid value '" + shown(value) + "' for --" + entry.name + ": " + wanted;
}

}  // namespace

std::string set_option(const char* name, const char* value, Options* options)
{
    const OptionEntry* entry = find_option(name);
    if (entry == nullptr)
        return "unrecognized option '--" + shown(name) + "'";
    switch (entry->kind) {
    case Kind::flag:
        options->*entry->flag = true;
        return {};
    case Kind::number: {
        double v = 0.0;
        if (!console_parse_number(value, &v))
            return bad_value(*entry, value, text_in(Language::english, WANTS_NUMBER));
        options->*entry->number = v;
        return {};
    }
    case Kind::frames: {
        long v = 0;
        if (!read_frames(value, &v))
            return bad_value(*entry, value, text_in(Language::english, WANTS_FRAMES));
        options->frames = v;
        return {};
    }
    case Kind::family:
        if (std::strcmp(value, "e") != 0 && std::strcmp(value, "E") != 0)
            return bad_value(*entry, value, text_in(Language::english, WANTS_FAMILY));
        options->family = value[0];
        return {};
    case Kind::path:
        if (*value == '\0')
            return bad_value(*entry, value, "a file name is needed");
        options->*entry->path = value;
        return {};
    case Kind::layer:
        if (*value != '\0' && std::strcmp(value, "1") != 0 && std::strcmp(value, "0") != 0)
            return bad_value(*entry, value, text_in(Language::english, WANTS_LAYER));
        options->*entry->flag = std::strcmp(value, "0") != 0;
        return {};
    case Kind::language: {
        const std::optional<Language> language = read_language(value);
        if (!language)
            return bad_value(*entry, value, text_in(Language::english, WANTS_LANGUAGE));
        options->language = language;
        return {};
    }
    }
    return {};
}

namespace {

// One "--name", "--name=value" or "--name value" at argv[*i]; *i moves past what it used.
std::string take_long_option(int argc, char** argv, int* i, Options* options)
{
    const std::string arg = argv[*i] + 2;
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionEntry* entry = find_option(name);
    if (entry == nullptr)
        return "unrecognized option '--" + shown(name) + "'";
    if (entry->kind == Kind::flag || entry->kind == Kind::layer) {
        if (equals != std::string::npos)
            return "option '--" + name + "' takes no value";
        return set_option(name.c_str(), "", options);
    }
    if (equals != std::string::npos)
        return set_option(name.c_str(), arg.c_str() + equals + 1, options);
    if (*i + 1 >= argc)
        return "option '--" + name + "' needs a value (" + entry->value_name + ")";
    *i += 1;
    return set_option(name.c_str(), argv[*i], options);
}

}  // namespace

std::string parse_options(int argc, char** argv, Options* options)
{
    options->window_args.assign(argv, argv + (argc > 0 ? 1 : 0));
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0) {
            if (i + 1 < argc)
                return "unexpected argument '" + shown(argv[i + 1]) + "'";
            break;
        }
        if (std::strncmp(arg, "--", 2) == 0) {
            const std::string error = take_long_option(argc, argv, &i, options);
            if (!error.empty())
                return error;
            continue;
        }
        bool window_option = false;
        for (const auto& w : WINDOW_OPTIONS) {
            if (std::strcmp(arg, w.name) != 0)
                continue;
            window_option = true;
            options->window_args.push_back(argv[i]);
            if (w.takes_value) {
                if (i + 1 >= argc)
                    return "option '" + std::string(arg) + "' needs a value";
                options->window_args.push_back(argv[++i]);
            }
        }
        if (!window_option)
            return std::string(arg[0] == '-' ? "unrecognized option '" : "unexpected argument '") +
                   shown(arg) + "'";
    }
    return {};
}

std::string help_text()
{
    std::string text = std::string(USAGE) +
                       "\nInteractive simulator of the forced Van der Pol oscillator\n"
                       "  y'' - eps (1 - y^2) y' + y = F sin(z t).\n"
                       "Without options it asks for eps, F, z, y0 and v0 at the console.\n\n";
    for (const OptionEntry& entry : OPTIONS) {
        std::string left = std::string("  --") + entry.name;
        if (*entry.value_name != '\0')
            left += std::string(" ") + entry.value_name;
        left.resize(std::max<std::size_t>(left.size() + 2, 29), ' ');
        text += left + entry.help + "\n";
    }
    text += "\nA value follows its option as --name VALUE or as --name=VALUE.\n"
            "Giving any of --eps, --force, --z, --y0, --v0 skips the start dialog; the others\n"
            "start from 0. --snapshot, --export-curves and --export-motion ask nothing and\n"
            "write their messages to standard error; --snapshot needs an X display, the\n"
            "exports do not. Their FILE '-' is standard output; an existing file is replaced\n"
            "(its permissions kept), a device or FIFO is written into, a symbolic link is\n"
            "followed; two of them cannot write to the same place.\n"
            "The window system's own options (-display NAME, -geometry WxH+X+Y, ...) are\n"
            "passed on to it. In the window: F1 key help, F2 save the picture, F5 run/pause.\n";
    return text;
}

void take_layers(const Options& options)
{
    stability_shown = options.stability;
    measured_shown = options.measured;
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
    const OptionEntry* entry = find_option(name);
    switch (entry != nullptr ? entry->kind : Kind::flag) {
    case Kind::number: return WANTS_NUMBER;
    case Kind::frames: return WANTS_FRAMES;
    case Kind::family: return WANTS_FAMILY;
    case Kind::language: return WANTS_LANGUAGE;
    case Kind::layer: return WANTS_LAYER;
    case Kind::flag:
    case Kind::path: break;
    }
    return TEXT_COUNT;
}
