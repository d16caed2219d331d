// The page's side of the window: the title, the WebGL context on the canvas, the keys.
#include "platform/web/page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/export.h"
#include "app/keyboard.h"
#include "app/show_frame.h"
#include "app/texts.h"
#include "core/state.h"
#include "platform/web/page_script.h"
#include "platform/web/webgl_primitives.h"

namespace {

constexpr const char* CANVAS = "#scene";

// The options an address may give; the others (pictures and data written to files, help)
// have no meaning in the page.
bool page_takes(const std::string& name)
{
    for (const char* taken : {"eps", "force", "z", "y0", "v0", "family", "frames", "lang",
                              "stability", "measured"})
        if (name == taken)
            return true;
    return false;
}

// v in the fewest significant digits that read back to the same double, as an address
// parameter's value (where '+' would read as a blank).
std::string shortest(double v)
{
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v)
            break;
    }
    std::string value = text;
    for (std::size_t at = value.find('+'); at != std::string::npos; at = value.find('+', at))
        value.replace(at, 1, "%2B");
    return value;
}

}  // namespace

bool open_page()
{
    page_set_title(WINDOW_TITLE);
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
    const int count = page_parameter_count();
    for (int i = 0; i < count; ++i) {
        char name[64];
        char value[256];
        page_parameter(i, name, sizeof name, value, sizeof value);
        if (!page_takes(name))
            continue;
        Options tried = options;
        const std::string error = set_option(name, value, &tried);
        if (error.empty())
            options = tried;
        else
            page_say(error.c_str());
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

extern "C" EMSCRIPTEN_KEEPALIVE int page_toggle_run()
{
    motion_running = !motion_running;
    return motion_running;
}

extern "C" EMSCRIPTEN_KEEPALIVE int page_running()
{
    return motion_running;
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_curves_csv()
{
    static std::string table;
    table = curves_csv();
    return table.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* page_scenario_query()
{
    static std::string query;
    query = "eps=" + shortest(epsilon) + "&force=" + shortest(force_amp) + "&z=" +
            shortest(freq_ratio) + "&y0=" + shortest(y_init) + "&v0=" + shortest(v_init);
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
