// The page's side of the window: the title, the WebGL context on the canvas, the keys.
#include "platform/web/page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "app/keyboard.h"
#include "app/texts.h"
#include "display/frame.h"
#include "platform/web/page_script.h"
#include "platform/web/webgl_primitives.h"

namespace {

constexpr const char* CANVAS = "#scene";

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

void start_page()
{
    on_display();
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
