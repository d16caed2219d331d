// F8 and a cell picked in the map.
#include "app/map_view.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/dialog.h"
#include "app/locking_map.h"
#include "app/show_frame.h"
#include "app/texts.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/locking_map.h"

namespace {

// The console's line on the map begun: its eps, grid and start.
void tell_map_begun()
{
    const auto n = [](double v) { return shortest_digits(v); };
    console_write_with(text(MAP_STARTED),
                       {n(map_run.eps), n(map_held_z.from), n(map_held_z.to),
                        std::to_string(map_held_z.count), n(map_held_force.from),
                        n(map_held_force.to), std::to_string(map_held_force.count), n(map_run.y0),
                        n(map_run.v0)});
}

}  // namespace

bool toggle_map_view()
{
    map_shown = !map_shown;
    const bool begin = map_shown && !map_held_is_current();
    if (begin) {
        begin_map_job(current_map_run(), true, false);
        tell_map_begun();
    }
    on_display();
    return begin;
}

void leave_map_view()
{
    map_shown = false;
}

bool pick_map_cell(double x, double y)
{
    long index = 0;
    if (!map_shown || !map_cell_at(x, y, &index))
        return false;
    force_amp = map_cell_force(index);
    freq_ratio = map_cell_z(index);
    compute_response_curves();
    restart_run();
    map_shown = false;
    show_frame();
    return true;
}

void tell_map_finished(double seconds)
{
    char time[32];
    std::snprintf(time, sizeof time, "%.1f", seconds);
    console_write_with(text(MAP_FINISHED), {std::to_string(map_cell_total()), time});
}
