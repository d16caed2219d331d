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
#include "app/export.h"
#include "app/keyboard.h"
#include "app/locking_map.h"
#include "app/map_view.h"
#include "app/picture_name.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"
#include "dynamics/locking_map.h"
#include "platform/web/page_script.h"
#include "platform/web/webgl_primitives.h"

namespace {

constexpr const char* CANVAS = "#scene";

std::vector<AddressNote> address_notes;   // the address's parameters not taken

// The address's parameter i, name (part 0) or value (part 1), whole.
std::string parameter_part(int i, int part)
{
    std::string text(static_cast<std::size_t>(page_parameter_size(i, part)), '\0');
    page_parameter(i, part, text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The page's texts in language, one "name<TAB>text" line each, in the names page.js knows
// them by, and one "note<TAB>text" line for each parameter of the address not taken.
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
        {"mapUnavailable", PAGE_MAP_UNAVAILABLE},
    };
    std::string all;
    for (const auto& entry : NAMES)
        all += std::string(entry.name) + "\t" + text_in(language, entry.id) + "\n";
    for (const AddressNote& note : address_notes)
        all += "note\t" +
               (note.wanted == NO_TEXT
                    ? fill_text(text_in(language, PAGE_UNKNOWN_NAME), {note.name, note.value})
                    : fill_text(text_in(language, PAGE_REFUSED_VALUE),
                                {note.name, note.value, wanted_text(language, note.wanted)})) +
               "\n";
    if (!address_notes.empty())
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
    return address_options(parameters, &address_notes);
}

void start_page()
{
    show_frame();
    page_idle();
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

extern "C" EMSCRIPTEN_KEEPALIVE void page_start_again(int with_values)
{
    Options options;
    if (with_values != 0) {
        options = held_scenario();
        options.frames.reset();   // from the first frame
    } else {
        family_view = 0;
    }
    motion_running = false;
    // Lines typed ahead of the ended run are not answers to the new one.
    __fpurge(stdin);
    clearerr(stdin);
    begin_run(options);
    start_page();
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
                                : text(PAGE_VALUES_NO_CROSSING);
    if (map_shown)
        lines += "\n" + map_values(l);
    return lines.c_str();
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
