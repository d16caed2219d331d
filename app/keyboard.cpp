// Keyboard commands.
#include "app/keyboard.h"

#include <cmath>
#include <cstdlib>

#include "app/dialog.h"
#include "app/show_frame.h"
#include "core/state.h"

namespace {

constexpr unsigned char ESC = 27;
constexpr double SCALE_FACTOR = 0.9;          // one key press scales by this, or divides by it
constexpr int LAST_TRACE_SLOT = TRACE_CAPACITY - 1;

// Refuse a 't' that would make a sweep longer than a trace row: trace_dx and trace_len stay
// as they are (the key still draws its frame), so trace_index never passes the last slot.
void shorten_trace_step()
{
    const double dx = trace_dx * SCALE_FACTOR;
    const int len = static_cast<int>(1.0 / dx);
    if (len > LAST_TRACE_SLOT)
        return;
    trace_dx = dx;
    trace_len = len;
}

// A scale that reached infinity (or zero) could never come back: dividing or multiplying by
// 0.9 leaves it there. The press that would take it there leaves it as it is instead.
double rescaled(double scale, double next)
{
    return std::isfinite(next) && next != 0.0 ? next : scale;
}

void lengthen_trace_step()
{
    trace_dx = rescaled(trace_dx, trace_dx / SCALE_FACTOR);
    trace_len = static_cast<int>(1.0 / trace_dx);
}

}  // namespace

void apply_view_key(unsigned char key)
{
    switch (key) {
    case 'y': amp_scale = rescaled(amp_scale, amp_scale * SCALE_FACTOR); break;
    case 'Y': amp_scale = rescaled(amp_scale, amp_scale / SCALE_FACTOR); break;
    case 't': shorten_trace_step(); break;
    case 'T': lengthen_trace_step(); break;
    case 'z': z_scale = rescaled(z_scale, z_scale * SCALE_FACTOR); break;
    case 'Z': z_scale = rescaled(z_scale, z_scale / SCALE_FACTOR); break;
    case 'e': family_view = 'e'; break;
    case 'E': family_view = 'E'; break;
    default: break;
    }
}

void on_keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    command_key = static_cast<char>(key);
    if (key == ESC)
        std::exit(0);
    if (key == 'm' || key == 'f' || key == 'j') {
        motion_running = false;   // the motion waits while the console is asked
        input_parameters();
        return;
    }
    apply_view_key(key);
    show_frame();
}

void toggle_stability_layer()
{
    stability_shown = !stability_shown;
    show_frame();
}

void toggle_measured_layer()
{
    measured_shown = !measured_shown;
    show_frame();
}
