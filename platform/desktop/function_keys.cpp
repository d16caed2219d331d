// Function keys. The letter keys stay as they are; these live where the window had nothing.
#include "platform/desktop/function_keys.h"

#include <GL/freeglut.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/console.h"
#include "app/dialog.h"
#include "app/keyboard.h"
#include "app/show_frame.h"
#include "app/run.h"
#include "app/texts.h"
#include "core/state.h"
#include "platform/desktop/picture_file.h"

namespace {

// Milliseconds since the window system started; the Run clock's steady time.
double now_ms()
{
    return glutGet(GLUT_ELAPSED_TIME);
}

// One tick of the Run clock: the frame of an 's', then the next tick on the clock's grid.
void run_tick(int ticket)
{
    if (!run_tick_due(ticket))
        return;
    on_keyboard('s', 0, 0);
    glutTimerFunc(static_cast<unsigned int>(next_run_delay(now_ms())), run_tick, ticket);
}

// F2: the picture the window shows, under a new name in the current folder.
void save_shown_picture()
{
    // Drawn again from the state, into the back buffer: what the front buffer holds after a
    // swap is undefined (black under Mesa's software renderer).
    if (!draw_shown_frame_again()) {
        console_write_with(text(PICTURE_NOT_SAVED), text(NO_FRAME_TO_SAVE));
        return;
    }
    const std::string name = reserve_picture_name(std::time(nullptr));
    if (name.empty()) {
        console_write_with(text(PICTURE_NOT_SAVED), std::strerror(errno));
        return;
    }
    const std::string error = save_window_picture(name.c_str());
    if (!error.empty()) {
        unlink(name.c_str());
        console_write_with(text(PICTURE_NOT_SAVED), error.c_str());
        return;
    }
    char* folder = getcwd(nullptr, 0);
    const std::string path = folder != nullptr ? std::string(folder) + "/" + name : name;
    std::free(folder);
    console_write_with(text(PICTURE_SAVED), path.c_str());
}

}  // namespace

void toggle_run()
{
    const int ticket = start_or_pause_run(now_ms());
    if (ticket != 0)
        glutTimerFunc(RUN_INTERVAL_MS, run_tick, ticket);
}

void on_special_key(int key, int /*x*/, int /*y*/)
{
    switch (key) {
    case GLUT_KEY_F1: print_key_help(); break;
    case GLUT_KEY_F2: save_shown_picture(); break;
    case GLUT_KEY_F3: toggle_stability_layer(); break;
    case GLUT_KEY_F4: toggle_measured_layer(); break;
    case GLUT_KEY_F5: toggle_run(); break;
    default: break;
    }
}
