// One frame, and the console note when the motion has overflowed.
#include "app/show_frame.h"

#include <cmath>

#include "app/console.h"
#include "app/run.h"
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
    advance_frames(1);
    on_display();
    if (motion_lost_told || (std::isfinite(state[0]) && std::isfinite(state[1])))
        return;
    console_write(text(MOTION_OUT_OF_RANGE));
    motion_lost_told = true;
}
