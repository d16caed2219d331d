// The locking map's engine for the page's Web Workers: a WebAssembly module of its own, with
// no imports, that each worker instantiates. The page hands it the map's run and grid, then
// cells by index; it hands back each cell's verdict as four numbers.
#include <emscripten/emscripten.h>

#include "dynamics/locking_map.h"

namespace {

MapEngine engine;
MapAxis z_axis, force_axis;
MapCellDone done[MAP_LANES];
// Per decided cell: index, class, strobe period, rotation.
double results[MAP_LANES][4];

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void map_kernel_begin(double eps, double y0, double v0, double transient,
                                           double window, double periods, double z_from,
                                           double z_to, double z_count, double force_from,
                                           double force_to, double force_count)
{
    z_axis = {z_from, z_to, static_cast<int>(z_count)};
    force_axis = {force_from, force_to, static_cast<int>(force_count)};
    start_map_engine(&engine, {eps, y0, v0, static_cast<long>(transient),
                               static_cast<long>(window), static_cast<long>(periods)});
}

// Puts cell index (row of F times the count of z, plus the column of z) into an idle lane;
// 0 when every lane is busy.
EMSCRIPTEN_KEEPALIVE int map_kernel_put(double index)
{
    const long i = static_cast<long>(index);
    return put_map_cell(&engine, i, map_axis_value(z_axis, static_cast<int>(i % z_axis.count)),
                        map_axis_value(force_axis, static_cast<int>(i / z_axis.count)));
}

EMSCRIPTEN_KEEPALIVE int map_kernel_busy()
{
    return map_lanes_busy(engine);
}

// Advances up to `steps` steps; the cells decided are in map_kernel_results().
EMSCRIPTEN_KEEPALIVE int map_kernel_advance(int steps)
{
    const int n = advance_map_engine(&engine, steps, done);
    for (int i = 0; i < n; ++i) {
        const MapVerdict& v = done[i].verdict;
        results[i][0] = static_cast<double>(done[i].id);
        results[i][1] = static_cast<double>(v.map_class);
        results[i][2] = v.measure.strobe_period;
        results[i][3] = v.measure.rotation;
    }
    return n;
}

EMSCRIPTEN_KEEPALIVE const double* map_kernel_results()
{
    return &results[0][0];
}
}
