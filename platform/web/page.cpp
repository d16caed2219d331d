// The page's side of the window: the title, texts and controls, the WebGL context on the
// canvas, the scenario of the address, the keys and tools the page hands in.
#include "platform/web/page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdio_ext.h>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/describe.h"
#include "app/export.h"
#include "app/keyboard.h"
#include "app/phase_view.h"
#include "app/locking_map.h"
#include "app/map_view.h"
#include "app/picture_name.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "app/sweep.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/phase_plane.h"
#include "display/primitives.h"
#include "display/sweep_layer.h"
#include "dynamics/locking_map.h"
#include "platform/web/page_script.h"
#include "platform/web/webgl_primitives.h"

namespace {

constexpr const char* CANVAS = "#scene";

std::vector<AddressNote> address_notes;   // on the address's parameters and fragment

// The address's parameter i, name (part 0) or value (part 1), whole; the value of the one
// after the last is the address's fragment.
std::string parameter_part(int i, int part)
{
    std::string text(static_cast<std::size_t>(page_parameter_size(i, part)), '\0');
    page_parameter(i, part, text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

// What the page says of note in language.
std::string note_text(Language language, const AddressNote& note)
{
    switch (note.kind) {
    case AddressNoteKind::unknown_name:
        return fill_text(text_in(language, PAGE_UNKNOWN_NAME), {note.name, note.value});
    case AddressNoteKind::refused_value:
        return fill_text(text_in(language, PAGE_REFUSED_VALUE),
                         {note.name, note.value, wanted_text(language, note.wanted)});
    case AddressNoteKind::repeated:
        return fill_text(text_in(language, PAGE_REPEATED_NAME), {note.name, note.value});
    case AddressNoteKind::taken_as_zero:
        return fill_text(text_in(language, PAGE_TAKEN_AS_ZERO), {note.name});
    case AddressNoteKind::fragment:
        return fill_text(text_in(language, PAGE_FRAGMENT_NOT_READ), {note.value, note.value});
    }
    return {};
}

// The page's texts in language, one "name<TAB>text" line each, in the names page.js knows
// them by, and one "note<TAB>text" line for each note on the address.
std::string page_texts(Language language)
{
    static constexpr struct {
        const char* name;
        Text id;
    } NAMES[] = {
        {"title", PAGE_TITLE}, {"noWebgl", PAGE_NO_WEBGL}, {"aborted", PAGE_ABORTED},
        {"startAgain", PAGE_START_AGAIN}, {"startAgainWithValues", PAGE_START_AGAIN_WITH_VALUES},
        {"nextFrameHint", PAGE_NEXT_FRAME_HINT}, {"dialogAsksAll", PAGE_DIALOG_ASKS_ALL},
        {"linkCopied", PAGE_LINK_COPIED}, {"linkNotCopied", PAGE_LINK_NOT_COPIED},
        {"linkLocalFile", PAGE_LINK_LOCAL_FILE}, {"canvasName", PAGE_CANVAS_NAME},
        {"valuesHeading", PAGE_VALUES_HEADING}, {"inputName", PAGE_INPUT_NAME},
        {"consoleOpen", PAGE_CONSOLE_OPEN}, {"consoleClose", PAGE_CONSOLE_CLOSE},
        {"waiting", PAGE_WAITING}, {"advancing", PAGE_ADVANCING},
        {"mapUnavailable", PAGE_MAP_UNAVAILABLE},
    };
    std::string all;
    for (const auto& entry : NAMES)
        all += std::string(entry.name) + "\t" + text_in(language, entry.id) + "\n";
    bool refused = false;
    for (const AddressNote& note : address_notes) {
        all += "note\t" + note_text(language, note) + "\n";
        refused = refused || refuses(note);
    }
    if (refused)
        all += std::string("note\t") + text_in(language, PAGE_DIALOG_ASKS_ALL) + "\n";
    return all;
}

// How the page places a control: a key of its key row, a tool or a toggle; "" where it has no
// button.
const char* page_kind(ControlKind kind)
{
    switch (kind) {
    case ControlKind::key: return "key";
    case ControlKind::view: return "view";
    case ControlKind::layer: return "layer";
    case ControlKind::tool: return "tool";
    case ControlKind::step: return "step";
    case ControlKind::lesson: return "tool";   // the Lessons toggle
    default: return "";
    }
}

// The controls table as the page builds its keys, tools and toggles from it: a line per row,
// in the table's order (a row's index is its line's), fields separated by tabs: name, key
// code, key as a browser names it, key cap, page_kind, 1 where the row has an act, then
// label and help in Japanese and in English ("" where there is none).
std::string page_controls()
{
    std::string all;
    for (const Control& control : CONTROLS) {
        all += std::string(control.name != nullptr ? control.name : "") + "\t" +
               std::to_string(control.key) + "\t" +
               (control.key != 0 ? key_event_name(control.key) + "\t" + key_cap(control.key) : "\t") +
               "\t" + page_kind(control.kind) + "\t" + (control.act != nullptr ? "1" : "0");
        for (const Language language : {Language::japanese, Language::english})
            for (const Text id : {control.label, control.help})
                all += "\t" + (id != NO_TEXT ? control_text(control, id, language) : "");
        all += "\n";
    }
    return all;
}

// The locking map in words: its grid, how far it is, its cells by class, and how to run one.
std::string map_values(Language l)
{
    long counts[6] = {};
    int rows_done = 0;
    for (int row = 0; row < map_held_force.count; ++row) {
        if (!map_row_finished(row))
            continue;
        ++rows_done;
        for (int i = 0; i < map_held_z.count; ++i)
            ++counts[static_cast<int>(map_cells[static_cast<std::size_t>(row) * map_held_z.count + i].map_class)];
    }
    const auto n = [](long v) { return std::to_string(v); };
    std::string lines = fill_text(text_in(l, PAGE_VALUES_MAP),
                                  {shortest_digits(map_run.eps), shortest_digits(map_held_z.from),
                                   shortest_digits(map_held_z.to), shortest_digits(map_held_force.from),
                                   shortest_digits(map_held_force.to)});
    if (rows_done < map_held_force.count)
        lines += "\n" + fill_text(text_in(l, PAGE_VALUES_MAP_PROGRESS), {n(rows_done), n(map_held_force.count)});
    using enum MapClass;
    lines += "\n" + fill_text(text_in(l, PAGE_VALUES_MAP_COUNTS),
                              {n(counts[static_cast<int>(locked)]), n(counts[static_cast<int>(periodic)]),
                               n(counts[static_cast<int>(drifting)]), n(counts[static_cast<int>(settling)]),
                               n(counts[static_cast<int>(rest)])});
    return lines + "\n" + text_in(l, PAGE_VALUES_MAP_TAP);
}

// The row index names, or nullptr: a script of the page may call with any number.
const Control* control_at(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= CONTROLS.size())
        return nullptr;
    return &CONTROLS[static_cast<std::size_t>(index)];
}

// The picture's labels and legends in words, in language: a line for each part shown.
std::string legend_lines(Language l)
{
    const auto values = [](const double (&family)[FAMILY_CAPACITY]) {
        std::string list;
        for (int k = 0; k < family_size; ++k) {
            char value[32];
            std::snprintf(value, sizeof value, "%g", family[k]);
            list += (k > 0 ? ", " : "") + std::string(value);
        }
        return list;
    };
    // As the picture's black line: its unstable side is above where eps < 0 and the layer shows it.
    const Text side = stability_shown && epsilon < 0.0 ? PAGE_UNSTABLE_ABOVE : PAGE_UNSTABLE_UNDER;
    std::string lines = phase_shown ? fill_text(text_in(l, PAGE_LEGEND_PHASE), {std::to_string(PHASE_TRAIL_PERIODS)})
                                    : std::string(text_in(l, PAGE_LEGEND_MOTION));
    if (phase_shown && second_start_given)
        lines += "\n" + std::string(text_in(l, PAGE_LEGEND_SECOND));
    if (phase_shown && orbit_shown)
        lines += "\n" + std::string(text_in(l, PAGE_LEGEND_ORBIT));
    lines += "\n" + fill_text(text_in(l, PAGE_LEGEND_CURVE), {text_in(l, side)});
    if (family_view == 'e')
        lines += "\n" + fill_text(text_in(l, PAGE_LEGEND_EPSILON_FAMILY), {values(EPSILON_FAMILY)});
    if (family_view == 'E')
        lines += "\n" + fill_text(text_in(l, PAGE_LEGEND_FORCE_FAMILY), {values(FORCE_FAMILY)});
    if (stability_shown)
        lines += "\n" + std::string(text_in(l, PAGE_LEGEND_STABILITY));
    if (measured_shown)
        lines += "\n" + fill_text(text_in(l, PAGE_LEGEND_MEASURED), {std::to_string(MEASURED_PERIODS)});
    if (sweep_shown())
        lines += "\n" + std::string(text_in(l, PAGE_LEGEND_SWEEP));
    return lines;
}

// A number as the values panel shows a measure: four decimals.
std::string four_decimals(double v)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.4f", v);
    return digits;
}

// The panel's lines on the entrainment experiment, each after a line end: the motion's state
// with F4's layer or a sweep's (as the picture's state line names it), and while a sweep runs,
// which way and how many frames a drawn one stands for.
std::string entrainment_values(Language l)
{
    std::string lines;
    if (measured_shown || sweep_shown()) {
        double z = NAN;
        const EntrainmentMeasure& m = named_measure(&z);
        const std::string rho = four_decimals(m.rotation);
        std::string state;
        switch (m.state) {
        case MotionState::settling: state = text_in(l, PAGE_MOTION_SETTLING); break;
        case MotionState::locked: state = fill_text(text_in(l, PAGE_MOTION_LOCKED), {rho}); break;
        case MotionState::periodic:
            state = fill_text(text_in(l, PAGE_MOTION_PERIODIC), {std::to_string(m.strobe_period), rho});
            break;
        case MotionState::drifting:
            state = fill_text(text_in(l, PAGE_MOTION_DRIFTING), {rho, four_decimals(m.drift)});
            break;
        }
        char at[32];
        std::snprintf(at, sizeof at, "%.6g", z);
        lines += "\n" + (std::isnan(z) ? fill_text(text_in(l, PAGE_VALUES_MOTION), {state})
                                        : fill_text(text_in(l, PAGE_VALUES_MOTION_AT), {at, state}));
    }
    if (sweep_running) {
        const Text leg = sweep_heading_up() ? PAGE_VALUES_SWEEP_UP : PAGE_VALUES_SWEEP_DOWN;
        lines += "\n" + fill_text(text_in(l, leg), {std::to_string(SWEEP_DRAW_STRIDE)});
    }
    return lines;
}

}  // namespace

void show_page_texts()
{
    page_show_texts(page_texts(Language::japanese).c_str(), page_texts(Language::english).c_str(),
                    page_controls().c_str(), console_language == Language::english);
}

bool open_page()
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // The desktop's pixels: no antialiasing, no depth or stencil test, an opaque canvas; the
    // picture stays until the next frame replaces it.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(CANVAS, &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !init_webgl_drawing()) {
        page_report_no_webgl();
        return false;
    }
    return true;
}

Options page_options()
{
    std::vector<AddressParameter> parameters;
    const int count = page_parameter_count();
    for (int i = 0; i < count; ++i)
        parameters.emplace_back(parameter_part(i, 0), parameter_part(i, 1));
    return address_options(parameters, &address_notes, parameter_part(count, 1));
}

void start_page(bool running)
{
    show_frame();
    page_idle();
    if (running)
        page_run_now();
}

void run_page(Options options)
{
    const long frames = options.frames.value_or(0);
    options.frames.reset();
    begin_run(options);
    if (frames == 0)
        start_page(runs_from_start(options));   // a sweep given runs from the first frame
    else
        page_advance_frames(static_cast<int>(frames));
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_advance_step(int frames)
{
    advance_motion_frames(frames);
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_start()
{
    start_page();
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_redraw()
{
    if (!draw_shown_frame_again())
        return 0;
    flush_drawing();
    return 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_running()
{
    return motion_running;
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_key(int key)
{
    on_keyboard(static_cast<unsigned char>(key), 0, 0);
    page_idle();
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_press(int index)
{
    if (const Control* control = control_at(index))
        press_control(*control);
    page_idle();
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_shown(int index)
{
    const Control* control = control_at(index);
    return control != nullptr && control->kind == ControlKind::layer && *std::get<bool*>(control->target);
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_view_key(int key)
{
    apply_view_key(static_cast<unsigned char>(key));
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_toggle_run()
{
    return start_or_pause_run(emscripten_get_now());
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_run_interval()
{
    return RUN_INTERVAL_MS;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_run_tick(int ticket)
{
    if (!run_tick_due(ticket))
        return -1;
    page_key('s');
    return run_tick_due(ticket) ? next_run_delay(emscripten_get_now()) : -1;
}

// Only a store: the page may call it while the dialog sleeps.
extern "C" EMSCRIPTEN_KEEPALIVE void page_set_language(int english)
{
    console_language = english != 0 ? Language::english : Language::japanese;
}

void start_page_run(const Options& options)
{
    motion_running = false;
    // Lines typed ahead of the ended run are not answers to the new one.
    __fpurge(stdin);
    clearerr(stdin);
    run_page(options);
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_start_again(int with_values)
{
    Options options;
    if (with_values != 0) {
        options = held_scenario();
        options.frames.reset();   // from the first frame
    } else {
        show_start_views(options);   // a fresh start: no family, no layers, no second start
    }
    start_page_run(options);
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_ended_text(int status)
{
    // Without a destructor: the page asks while the program's exit is under way.
    static char told[256];
    const std::string ended = status == 0 ? std::string(text(PAGE_ENDED))
                                          : fill_text(text(PAGE_ENDED_WITH_STATUS), {std::to_string(status)});
    std::snprintf(told, sizeof told, "%s", ended.c_str());
    return told;
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_curves_csv()
{
    static std::string table;
    table = curves_csv();
    return table.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_picture_name()
{
    static std::string name;
    name = picture_name(std::time(nullptr), 0);
    return name.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_scenario_query()
{
    static std::string query;
    query = address_query(held_scenario());
    return query.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_values()
{
    static std::string lines;
    char t[32];
    std::snprintf(t, sizeof t, "%.1f", sim_time);
    const Language l = console_language;
    lines = fill_text(text_in(l, PAGE_VALUES_PARAMETERS),
                      {shortest_digits(epsilon), shortest_digits(force_amp), shortest_digits(freq_ratio)}) +
            "\n" + fill_text(text_in(l, PAGE_VALUES_INITIAL), {shortest_digits(y_init), shortest_digits(v_init)}) +
            "\n" + fill_text(text_in(l, PAGE_VALUES_TIME), {t, std::to_string(frame_shown())}) + "\n";
    std::string amplitudes;
    for (int i = 0; i < crossing_count; ++i) {
        char a[32];
        std::snprintf(a, sizeof a, "%.4g", crossings[i]);
        amplitudes += (i > 0 ? ", " : "") + std::string(a);
    }
    lines += crossing_count > 0 ? fill_text(text_in(l, PAGE_VALUES_CROSSINGS), {amplitudes})
                                : text_in(l, PAGE_VALUES_NO_CROSSING);
    lines += "\n" + legend_lines(l);
    lines += entrainment_values(l);
    const std::string phase = phase_values(l);
    if (!phase.empty())
        lines += "\n" + phase.substr(0, phase.size() - 1);
    lines += "\n" + describe_motion(motion_facts(), l);
    if (map_shown)
        lines += "\n" + map_values(l);
    return lines.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_toggle_sweep()
{
    return toggle_sweep() && !motion_running;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_sweeping()
{
    return sweep_running;
}

extern "C" EMSCRIPTEN_KEEPALIVE double page_ratio_x()
{
    return z_scale * freq_ratio + curve_origin.x;
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_drag_ratio(double x)
{
    const double z = std::round((x - curve_origin.x) / z_scale / SWEEP_DEFAULT_STEP) * SWEEP_DEFAULT_STEP;
    if (z == freq_ratio)
        return;
    set_ratio_by_hand(z);
    show_frame();
    page_idle();
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_map_toggle()
{
    const int begun = toggle_map_view() ? 1 : 0;
    page_idle();
    return begun;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_map_job()
{
    return map_row_left != nullptr && !map_stopped.load() ? static_cast<int>(map_job) : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE const double* page_map_settings()
{
    static double settings[13];
    const double values[13] = {map_run.eps, map_run.y0, map_run.v0,
                               static_cast<double>(map_run.transient),
                               static_cast<double>(map_run.window),
                               static_cast<double>(map_run.periods), map_held_z.from,
                               map_held_z.to, static_cast<double>(map_held_z.count),
                               map_held_force.from, map_held_force.to,
                               static_cast<double>(map_held_force.count),
                               static_cast<double>(map_cell_total())};
    std::copy(values, values + 13, settings);
    return settings;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_map_store(double index, double map_class, double period,
                                                   double rotation)
{
    const long i = static_cast<long>(index);
    if (page_map_job() == 0 || !(i >= 0 && i < map_cell_total()) || !(map_class >= 0.0) ||
        map_class > static_cast<double>(MapClass::settling))
        return 0;
    const int rows = map_rows_done.load();
    MapVerdict verdict = {static_cast<MapClass>(static_cast<int>(map_class)),
                          {MotionState::settling, static_cast<int>(period), rotation, NAN, NAN},
                          NAN, 0};
    store_map_verdict(i, verdict);
    return map_finished() ? 2 : map_rows_done.load() != rows ? 1 : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_map_draw()
{
    if (map_shown)
        on_display();
    page_idle();
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_map_finished(double seconds)
{
    tell_map_finished(seconds);
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_map_shown()
{
    return map_shown ? 1 : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_map_pick(double x, double y)
{
    const int ran = pick_map_cell(x, y) ? 1 : 0;
    page_idle();
    return ran;
}
