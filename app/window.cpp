// Program entry into GLUT, the window and its title.
#include "app/window.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <cstring>

#include "app/keyboard.h"
#include "display/frame.h"

const char* const WINDOW_TITLE =
    "Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 "
    "t,T:時間軸伸縮";

namespace {

constexpr int WINDOW_SIZE = 800;   // pixels, both ways

// GLUT hands the title to X as WM_NAME of type STRING (Latin-1), where UTF-8 bytes read as
// mojibake. Publish it again as _NET_WM_NAME (UTF8_STRING) and as a WM_NAME in a type that
// decodes correctly (compound text), on the window of the current GLX context: the one just
// created. The same for the icon name.
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

// Registered to run at every process exit once the window exists (ESC, a failed scratch
// allocation, GLUT's own exits): the software renderer's threads must be idle before the
// C++ runtime tears down the libraries they run in, or the exit itself can crash.
void finish_drawing_at_exit()
{
    if (glXGetCurrentContext() != nullptr)
        glFinish();
}

}  // namespace

void start_graphics(int* argc, char** argv)
{
    // The size first: GLUT's own -geometry option, read by glutInit, has the last word.
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    // freeglut ends the process, where it must, through exit().
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    create_window();
    std::atexit(finish_drawing_at_exit);
    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_keyboard);
    set_clear_color();
    glutMainLoop();
}

void create_window()
{
    glutCreateWindow(WINDOW_TITLE);
    publish_utf8_title(WINDOW_TITLE);
}

void set_clear_color()
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void on_reshape(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

void begin_frame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void end_frame()
{
    glFlush();
    glutSwapBuffers();
}
