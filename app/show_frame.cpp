// One frame, and the console note when the motion has overflowed.
#include "app/show_frame.h"

#include <cmath>

#include "app/console.h"
#include "app/run.h"
#include "app/sweep.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"

bool draw_shown_frame_again()
{
    // A run starts at t = 0, and its every frame moves t on. The map shows whatever t is.
    if (sim_time == 0.0 && !map_shown)
        return false;
    draw_frame();
    return true;
}

void show_frame()
{
    // The map shown (F8) stands in for the picture: a redraw draws it, the motion waits.
    if (map_shown) {
        on_display();
        return;
    }
    const bool sweeping = sweep_running;
    advance_frames(frames_per_drawn_frame());
    on_display();
    // Only a sweep's own end comes within a frame: F7 and the arrows stop it between frames.
    if (sweeping && !sweep_running)
        console_write(sweep_summary().c_str());
    if (motion_lost_told || (std::isfinite(state[0]) && std::isfinite(state[1])))
        return;
    console_write(text(MOTION_OUT_OF_RANGE));
    motion_lost_told = true;
}
