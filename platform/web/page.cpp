// The page's side of the window: the title and texts, the WebGL context on the canvas, the
// scenario of the address, the keys and tools the page hands in.
#include "platform/web/page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <stdio_ext.h>
#include <string>
#include <vector>

#include "app/dialog.h"
#include "app/export.h"
#include "app/keyboard.h"
#include "app/picture_name.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "app/texts.h"
#include "core/state.h"
#include "platform/web/page_script.h"
#include "platform/web/webgl_primitives.h"

namespace {

constexpr const char* CANVAS = "#scene";
constexpr std::size_t MOST_ADDRESS_NOTES = 20;   // a longer list of refusals tells no more

// The options an address may give; the others (pictures and data written to files, help)
// have no meaning in the page and are unknown names there.
bool page_takes(const std::string& name)
{
    for (const char* taken : {"eps", "force", "z", "y0", "v0", "family", "frames", "lang",
                              "stability", "measured"})
        if (name == taken)
            return true;
    return false;
}

// A parameter of the address that was not taken: its name and value as given, and what the
// value must be (TEXT_COUNT for a name the page does not know).
struct AddressNote {
    std::string name, value;
    Text wanted;
};

std::vector<AddressNote> address_notes;

// v in the fewest significant digits that read back to the same double.
std::string shortest(double v)
{
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v)
            break;
    }
    return text;
}

// As shortest, as an address parameter's value (where '+' would read as a blank).
std::string address_number(double v)
{
    std::string value = shortest(v);
    for (std::size_t at = value.find('+'); at != std::string::npos; at = value.find('+', at))
        value.replace(at, 1, "%2B");
    return value;
}

// A text of the table in language with its "%s" places filled, in order.
std::string filled(Language language, Text id, std::initializer_list<std::string> args)
{
    std::string out = text_in(language, id);
    std::size_t at = 0;
    for (const std::string& arg : args) {
        at = out.find("%s", at);
        if (at == std::string::npos)
            break;
        out.replace(at, 2, arg);
        at += arg.size();
    }
    return out;
}

// Frames drawn since the motion last started from t = 0: the number of the frame shown.
long frame_shown()
{
    return std::lround(sim_time / (time_step * steps_per_frame));
}

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
        {"ended", PAGE_ENDED}, {"endedWithStatus", PAGE_ENDED_WITH_STATUS},
        {"startAgain", PAGE_START_AGAIN}, {"startAgainWithValues", PAGE_START_AGAIN_WITH_VALUES},
        {"nextFrameHint", PAGE_NEXT_FRAME_HINT}, {"dialogAsksAll", PAGE_DIALOG_ASKS_ALL},
        {"linkCopied", PAGE_LINK_COPIED}, {"linkNotCopied", PAGE_LINK_NOT_COPIED},
        {"linkLocalFile", PAGE_LINK_LOCAL_FILE}, {"canvasName", PAGE_CANVAS_NAME},
        {"valuesHeading", PAGE_VALUES_HEADING}, {"inputName", PAGE_INPUT_NAME},
        {"consoleOpen", PAGE_CONSOLE_OPEN}, {"consoleClose", PAGE_CONSOLE_CLOSE},
        {"key:s", PAGE_KEY_S}, {"key:y", PAGE_KEY_SMALL_Y}, {"key:Y", PAGE_KEY_Y},
        {"key:t", PAGE_KEY_SMALL_T}, {"key:T", PAGE_KEY_T}, {"key:z", PAGE_KEY_SMALL_Z},
        {"key:Z", PAGE_KEY_Z}, {"key:e", PAGE_KEY_SMALL_E}, {"key:E", PAGE_KEY_E},
        {"key:m", PAGE_KEY_M}, {"key:f", PAGE_KEY_F}, {"key:j", PAGE_KEY_J},
        {"key:Escape", PAGE_KEY_ESC}, {"tool:run-pause", PAGE_RUN_PAUSE},
        {"tool:save-picture", PAGE_SAVE_PICTURE}, {"tool:download-curves", PAGE_DOWNLOAD_CURVES},
        {"tool:copy-link", PAGE_COPY_LINK}, {"tool:stability-layer", PAGE_STABILITY_LAYER},
        {"tool:measured-layer", PAGE_MEASURED_LAYER},
    };
    std::string all;
    for (const auto& entry : NAMES)
        all += std::string(entry.name) + "\t" + text_in(language, entry.id) + "\n";
    for (const AddressNote& note : address_notes)
        all += "note\t" +
               (note.wanted == TEXT_COUNT
                    ? filled(language, PAGE_UNKNOWN_NAME, {note.name, note.value})
                    : filled(language, PAGE_REFUSED_VALUE,
                             {note.name, note.value, text_in(language, note.wanted)})) +
               "\n";
    if (!address_notes.empty())
        all += std::string("note\t") + text_in(language, PAGE_DIALOG_ASKS_ALL) + "\n";
    return all;
}

}  // namespace

void show_page_texts()
{
    page_show_texts(page_texts(Language::japanese).c_str(), page_texts(Language::english).c_str(),
                    console_language == Language::english);
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
    Options options;
    address_notes.clear();
    const int count = page_parameter_count();
    for (int i = 0; i < count; ++i) {
        const std::string name = parameter_part(i, 0);
        const std::string value = parameter_part(i, 1);
        if (!page_takes(name)) {
            address_notes.push_back({name, value, TEXT_COUNT});
            continue;
        }
        if (!set_option(name.c_str(), value.c_str(), &options).empty())
            address_notes.push_back({name, value, wanted_value(name.c_str())});
    }
    if (address_notes.size() > MOST_ADDRESS_NOTES)
        address_notes.resize(MOST_ADDRESS_NOTES);
    // Nothing runs half-given: after any refusal the dialog asks for every value.
    if (!address_notes.empty()) {
        options.epsilon = options.force = options.z = options.y0 = options.v0 = std::nullopt;
        options.frames = std::nullopt;
    }
    return options;
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

extern "C" EMSCRIPTEN_KEEPALIVE void page_view_key(int key)
{
    apply_view_key(static_cast<unsigned char>(key));
}

extern "C" EMSCRIPTEN_KEEPALIVE void page_key_help()
{
    print_key_help();
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

extern "C" EMSCRIPTEN_KEEPALIVE int page_running()
{
    return motion_running;
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
        options.epsilon = epsilon;
        options.force = force_amp;
        options.z = freq_ratio;
        options.y0 = y_init;
        options.v0 = v_init;
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
    const long frames = frame_shown() > 0 ? frame_shown() - 1 : 0;
    query = "eps=" + address_number(epsilon) + "&force=" + address_number(force_amp) + "&z=" +
            address_number(freq_ratio) + "&y0=" + address_number(y_init) + "&v0=" +
            address_number(v_init) + "&frames=" + std::to_string(frames);
    if (family_view == 'e' || family_view == 'E')
        query += std::string("&family=") + static_cast<char>(family_view);
    if (console_language == Language::english)
        query += "&lang=en";
    if (stability_shown)
        query += "&stability=1";
    if (measured_shown)
        query += "&measured=1";
    return query.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_toggle_layer(int layer)
{
    if (layer == PAGE_LAYER_STABILITY)
        toggle_stability_layer();
    else if (layer == PAGE_LAYER_MEASURED)
        toggle_measured_layer();
    page_idle();
    return page_layer_shown(layer);
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_layer_shown(int layer)
{
    if (layer == PAGE_LAYER_STABILITY)
        return stability_shown;
    return layer == PAGE_LAYER_MEASURED && measured_shown;
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_values()
{
    static std::string lines;
    char t[32];
    std::snprintf(t, sizeof t, "%.1f", sim_time);
    const Language l = console_language;
    lines = filled(l, PAGE_VALUES_PARAMETERS, {shortest(epsilon), shortest(force_amp), shortest(freq_ratio)}) +
            "\n" + filled(l, PAGE_VALUES_INITIAL, {shortest(y_init), shortest(v_init)}) + "\n" +
            filled(l, PAGE_VALUES_TIME, {t, std::to_string(frame_shown())}) + "\n";
    std::string amplitudes;
    for (int i = 0; i < crossing_count; ++i) {
        char a[32];
        std::snprintf(a, sizeof a, "%.4g", crossings[i]);
        amplitudes += (i > 0 ? ", " : "") + std::string(a);
    }
    lines += crossing_count > 0 ? filled(l, PAGE_VALUES_CROSSINGS, {amplitudes}) : text(PAGE_VALUES_NO_CROSSING);
    return lines.c_str();
}
