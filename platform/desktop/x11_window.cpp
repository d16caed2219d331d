// What the window needs of X itself, beyond GLUT: a title that reads as Japanese, and a resize
// that takes effect at once.
#include "platform/desktop/x11_window.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/Xproto.h>
#include <X11/extensions/shmproto.h>
#include <cstring>

// GLUT hands the title over as WM_NAME of type STRING (Latin-1), where UTF-8 bytes read as
// mojibake. Published again as _NET_WM_NAME (UTF8_STRING) and as a WM_NAME in a type that decodes
// correctly (compound text), on the window of the current GLX context: the one just created.
void publish_utf8_title(const char* title)
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return;

    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const auto* bytes = reinterpret_cast<const unsigned char*>(title);
    const int length = static_cast<int>(std::strlen(title));
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, bytes, length);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON_NAME", False), utf8, 8,
                    PropModeReplace, bytes, length);

    char* list[] = {const_cast<char*>(title)};
    XTextProperty text;
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &text) == Success) {
        XSetWMName(display, window, &text);
        XSetWMIconName(display, window, &text);
        XFree(text.value);
    }
    XFlush(display);
}

// Resizes the window of the current GLX context and waits until the X server has done it.
void resize_window_now(int width, int height)
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return;
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
}

namespace {

XErrorHandler earlier_handler = nullptr;
int shm_opcode = -1;   // the MIT-SHM extension's major opcode; -1 where the server has none

// A frame drawn between a resize past the largest side and the resize back (keys already
// queued are handled first) is put on the screen at the oversized width, which the server
// refuses with BadValue. That frame is lost, the next one is drawn at the size taken back;
// any other error goes to the handler that was there before.
int on_x_error(Display* display, XErrorEvent* error)
{
    const bool put_image = error->request_code == X_PutImage ||
                           (error->request_code == shm_opcode && error->minor_code == X_ShmPutImage);
    if (error->error_code == BadValue && put_image)
        return 0;
    return earlier_handler != nullptr ? earlier_handler(display, error) : 0;
}

}  // namespace

void survive_oversized_frames()
{
    // Asked here: an error handler may send no request of its own.
    Display* display = glXGetCurrentDisplay();
    int first_event = 0, first_error = 0;
    if (display == nullptr ||
        !XQueryExtension(display, "MIT-SHM", &shm_opcode, &first_event, &first_error))
        shm_opcode = -1;
    earlier_handler = XSetErrorHandler(on_x_error);
}

void drop_queued_keys()
{
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr)
        return;
    XSync(display, False);
    XEvent event;
    while (XCheckMaskEvent(display, KeyPressMask | KeyReleaseMask, &event)) {
    }
}
