// One frame, and the console note when the motion has overflowed.
#include "app/show_frame.h"

#include <cmath>

#include "app/console.h"
#include "app/run.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"

void show_frame()
{
    // After frames advanced without drawing, the last of them is drawn unseen first, so that
    // this frame starts from the drawing state that frame leaves.
    if (take_unseen_frame())
        draw_frame();
    on_display();
    if (motion_lost_told || (std::isfinite(state[0]) && std::isfinite(state[1])))
        return;
    console_write(text(MOTION_OUT_OF_RANGE));
    motion_lost_told = true;
}
