// Function and arrow keys. The letter keys stay as they are; these live where the window had
// nothing.
#include "platform/desktop/function_keys.h"

#include <GL/freeglut.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/console.h"
#include "app/keyboard.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "app/sweep.h"
#include "app/texts.h"
#include "core/state.h"
#include "platform/desktop/map_threads.h"
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

// F5: starts or stops the motion advancing by itself, 30 frames a second, each frame as if
// 's' were pressed. A dialog key stops it first.
void toggle_run()
{
    const int ticket = start_or_pause_run(now_ms());
    if (ticket != 0)
        glutTimerFunc(RUN_INTERVAL_MS, run_tick, ticket);
}

// F7: a sweep around z, on the Run clock (started if the motion stood), or the sweep stopped.
void toggle_sweep_run()
{
    if (toggle_sweep() && !motion_running)
        toggle_run();
}

// The tools the window does itself, by the names of their rows.
constexpr struct {
    const char* name;
    void (*act)();
} WINDOW_TOOLS[] = {{"save-picture", save_shown_picture}, {"run-pause", toggle_run},
                    {"sweep-z", toggle_sweep_run}, {"map", toggle_map_in_window}};

// GLUT's code of a key that types nothing as the controls name it; 0 for others.
int named_key(int glut_key)
{
    if (glut_key >= GLUT_KEY_F1 && glut_key <= GLUT_KEY_F12)
        return KEY_F1 + (glut_key - GLUT_KEY_F1);
    switch (glut_key) {
    case GLUT_KEY_LEFT: return KEY_LEFT;
    case GLUT_KEY_UP: return KEY_UP;
    case GLUT_KEY_RIGHT: return KEY_RIGHT;
    case GLUT_KEY_DOWN: return KEY_DOWN;
    default: return 0;
    }
}

}  // namespace

void start_running()
{
    if (!motion_running)
        toggle_run();
}

void on_special_key(int key, int /*x*/, int /*y*/)
{
    const Control* control = control_for_key(named_key(key));
    if (control == nullptr)
        return;
    if (!platform_acts(*control)) {
        press_control(*control);
        return;
    }
    for (const auto& tool : WINDOW_TOOLS)
        if (std::strcmp(tool.name, control->name) == 0)
            tool.act();
}
