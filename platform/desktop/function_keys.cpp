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
#include "app/texts.h"
#include "core/state.h"
#include "platform/desktop/picture_file.h"

namespace {

constexpr unsigned int RUN_INTERVAL_MS = 33;   // 30 frames a second

// Each start of running gets a new number; a timer of an earlier run that is still pending
// sees a different number and ends, so a quick pause and run never doubles the rate.
int run_number = 0;

void run_tick(int number)
{
    if (!motion_running || number != run_number)
        return;
    on_keyboard('s', 0, 0);
    glutTimerFunc(RUN_INTERVAL_MS, run_tick, number);
}

// F2: the picture the window shows, under a new name in the current folder.
void save_shown_picture()
{
    // Drawn again from the state the frame on the screen started from: what the front
    // buffer holds after a swap is undefined (black under Mesa's software renderer).
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
    motion_running = !motion_running;
    ++run_number;
    if (motion_running)
        glutTimerFunc(RUN_INTERVAL_MS, run_tick, run_number);
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
