// Program entry into GLUT and the window.
#include "platform/desktop/window.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <algorithm>
#include <cstdlib>

#include "app/dialog.h"
#include "app/keyboard.h"
#include "app/show_frame.h"
#include "app/texts.h"
#include "platform/desktop/function_keys.h"
#include "platform/desktop/map_threads.h"
#include "platform/desktop/x11_window.h"

namespace {

// The last size on_reshape took, in pixels; 0 before the first.
int taken_width = 0;
int taken_height = 0;

// Registered to run at every process exit once the window exists (ESC, a failed scratch
// allocation, GLUT's own exits): the software renderer's threads must be idle before the
// C++ runtime tears down the libraries they run in, or the exit itself can crash.
void finish_drawing_at_exit()
{
    if (glXGetCurrentContext() != nullptr)
        glFinish();
}

// Keys pressed in the window while a key's console dialog waited are dropped, not applied
// after it: the dialog asked for the console, and the page takes no keys meanwhile either.
void on_window_key(unsigned char key, int x, int y)
{
    const long dialogs = dialogs_run;
    on_keyboard(key, x, y);
    if (dialogs_run != dialogs)
        drop_queued_keys();
}

// The window system's own options, with whether each takes a value: glutInit reads them.
constexpr PlatformOption WINDOW_OPTION_TABLE[] = {
    {"-display", true}, {"-geometry", true}, {"-iconic", false}, {"-direct", false},
    {"-indirect", false}, {"-gldebug", false}, {"-sync", false},
};

}  // namespace

const std::span<const PlatformOption> WINDOW_OPTIONS = WINDOW_OPTION_TABLE;

void open_window(int* argc, char** argv)
{
    // The size first: GLUT's own -geometry option, read by glutInit, has the last word.
    glutInitWindowSize(DEFAULT_WINDOW_SIDE, DEFAULT_WINDOW_SIDE);
    // freeglut ends the process, where it must, through exit().
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    create_window();
    survive_oversized_frames();
    std::atexit(finish_drawing_at_exit);
    glutDisplayFunc(show_frame);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_window_key);
    glutSpecialFunc(on_special_key);
    glutMouseFunc(on_map_click);
    set_clear_color();
}

void start_graphics(int* argc, char** argv, bool running)
{
    open_window(argc, argv);
    if (running)
        start_running();
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
    if (width > MAX_WINDOW_SIDE || height > MAX_WINDOW_SIDE) {
        // At once, not through GLUT's deferred resize: a key already queued would draw its
        // frame at this size first.
        resize_window_now(taken_width > 0 ? taken_width : std::min(width, MAX_WINDOW_SIDE),
                          taken_height > 0 ? taken_height : std::min(height, MAX_WINDOW_SIDE));
        return;
    }
    taken_width = width;
    taken_height = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}
