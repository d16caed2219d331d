// One frame, and the console note when the motion has overflowed.
#include "app/show_frame.h"

#include <cmath>
#include <cstring>

#include "app/console.h"
#include "app/run.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/primitives.h"

namespace {

// The renderer's line width before anything has set it. The first frame draws its string at
// this width; every later one at the width the traces of the frame before left.
constexpr float INITIAL_LINE_WIDTH = 1.0f;

// What a frame changes of the state, as it stood before the frame and after it.
struct FrameState {
    double state[2];
    double sim_time;
    int trace_index;
    double trace_scales[TRACE_ROWS];
    double trace_rows[TRACE_ROWS][TRACE_CAPACITY];
    long harmonic_period;
    double harmonic_sums[2];
    double harmonic_last[4];
    double measured_amps[MEASURED_PERIODS];
    long measured_count;
};

FrameState before_shown;       // before the last frame shown
FrameState after_shown;        // after it
long frames_shown = 0;         // by this process
bool first_shown_after_unseen = false;   // the process's first frame shown followed one unseen

void keep_state(FrameState* kept)
{
    std::memcpy(kept->state, state, sizeof state);
    kept->sim_time = sim_time;
    kept->trace_index = trace_index;
    std::memcpy(kept->trace_scales, trace_scales, sizeof trace_scales);
    std::memcpy(kept->trace_rows, trace_rows, sizeof trace_rows);
    kept->harmonic_period = harmonic_period;
    std::memcpy(kept->harmonic_sums, harmonic_sums, sizeof harmonic_sums);
    std::memcpy(kept->harmonic_last, harmonic_last, sizeof harmonic_last);
    std::memcpy(kept->measured_amps, measured_amps, sizeof measured_amps);
    kept->measured_count = measured_count;
}

void restore_state(const FrameState& kept)
{
    std::memcpy(state, kept.state, sizeof state);
    sim_time = kept.sim_time;
    trace_index = kept.trace_index;
    std::memcpy(trace_scales, kept.trace_scales, sizeof trace_scales);
    std::memcpy(trace_rows, kept.trace_rows, sizeof trace_rows);
    harmonic_period = kept.harmonic_period;
    std::memcpy(harmonic_sums, kept.harmonic_sums, sizeof harmonic_sums);
    std::memcpy(harmonic_last, kept.harmonic_last, sizeof harmonic_last);
    std::memcpy(measured_amps, kept.measured_amps, sizeof measured_amps);
    measured_count = kept.measured_count;
}

// Bit for bit: a state that has left the range of numbers is NaN, which equals nothing. The
// measure follows the motion, so the motion alone tells whether a frame has been drawn since.
bool state_is(const FrameState& kept)
{
    return std::memcmp(kept.state, state, sizeof state) == 0 &&
           std::memcmp(&kept.sim_time, &sim_time, sizeof sim_time) == 0 &&
           kept.trace_index == trace_index &&
           std::memcmp(kept.trace_scales, trace_scales, sizeof trace_scales) == 0 &&
           std::memcmp(kept.trace_rows, trace_rows, sizeof trace_rows) == 0;
}

}  // namespace

bool draw_shown_frame_again()
{
    if (frames_shown == 0 || !state_is(after_shown))
        return false;
    restore_state(before_shown);
    if (frames_shown == 1 && !first_shown_after_unseen)
        set_line_width(INITIAL_LINE_WIDTH);
    draw_frame();
    return true;
}

void show_frame()
{
    // After frames advanced without drawing, the last of them is drawn unseen first, so that
    // this frame starts from the drawing state that frame leaves.
    if (take_unseen_frame()) {
        draw_frame();
        if (frames_shown == 0)
            first_shown_after_unseen = true;
    }
    keep_state(&before_shown);
    on_display();
    keep_state(&after_shown);
    ++frames_shown;
    if (motion_lost_told || (std::isfinite(state[0]) && std::isfinite(state[1])))
        return;
    console_write(text(MOTION_OUT_OF_RANGE));
    motion_lost_told = true;
}
