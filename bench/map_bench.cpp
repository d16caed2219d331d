// The locking map of the figures: 101 x 41 cells (z 0.5 ... 1.5, F 0 ... 1, eps = 0.3, from
// (0.1, 0), the default run lengths) as F8 and --locking-map compute it (the desktop's
// threads), on one thread, and as a plain loop would: one cell after another with the
// program's integrator (rkg_step, a library sine in every stage) and its entrainment
// measures, over the same cells for the same periods, judged once at the end.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/locking_map.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/locking_map.h"
#include "dynamics/rkg_step.h"
#include "platform/desktop/map_threads.h"

namespace {

constexpr MapAxis Z = {0.5, 1.5, 101};
constexpr MapAxis FORCE = {0.0, 1.0, 41};
constexpr MapRun RUN = {0.3, 0.1, 0.0, MAP_DEFAULT_TRANSIENT, MAP_DEFAULT_WINDOW, MAP_DEFAULT_PERIODS};

void use_grid()
{
    map_z_axis = Z;
    map_force_axis = FORCE;
}

void BM_LockingMap(benchmark::State& s)
{
    use_grid();
    for (auto _ : s) {
        begin_map_job(RUN, true, false);
        start_map_threads();
        join_map_threads();
        benchmark::DoNotOptimize(map_cells.data());
    }
    s.counters["cells"] = static_cast<double>(map_cell_total());
}
BENCHMARK(BM_LockingMap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_LockingMapOneThread(benchmark::State& s)
{
    use_grid();
    MapEngine engine;
    for (auto _ : s) {
        begin_map_job(RUN, true, false);
        compute_map_share(&engine);
        benchmark::DoNotOptimize(map_cells.data());
    }
}
BENCHMARK(BM_LockingMapOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The periods the lanes ran each cell for, cell by cell.
std::vector<long> periods_run()
{
    MapEngine engine;
    start_map_engine(&engine, RUN);
    const long cells = static_cast<long>(Z.count) * FORCE.count;
    std::vector<long> periods(static_cast<std::size_t>(cells));
    MapCellDone done[MAP_LANES];
    for (long next = 0, left = cells; left > 0;) {
        while (next < cells && put_map_cell(&engine, next, map_axis_value(Z, static_cast<int>(next % Z.count)),
                                            map_axis_value(FORCE, static_cast<int>(next / Z.count))))
            ++next;
        const int n = advance_map_engine(&engine, MAP_SLICE_STEPS, done);
        for (int i = 0; i < n; ++i)
            periods[static_cast<std::size_t>(done[i].id)] = done[i].verdict.periods;
        left -= n;
    }
    return periods;
}

void BM_LockingMapPlainLoop(benchmark::State& s)
{
    const std::vector<long> periods = periods_run();
    long steps = 0;
    for (auto _ : s) {
        steps = 0;
        for (long cell = 0; cell < static_cast<long>(periods.size()); ++cell) {
            epsilon = RUN.eps;
            force_amp = map_axis_value(FORCE, static_cast<int>(cell / Z.count));
            freq_ratio = map_axis_value(Z, static_cast<int>(cell % Z.count));
            state[0] = RUN.y0;
            state[1] = RUN.v0;
            sim_time = 0.0;
            reset_forcing_phase();
            reset_entrainment_measure();
            while (strobe_count < periods[static_cast<std::size_t>(cell)]) {
                const double start[2] = {state[0], state[1]};
                const double t0 = sim_time;
                rkg_step(sim_time, time_step, start, state, 2);
                sim_time = sim_time + time_step;
                record_entrainment_step(t0, start);
                ++steps;
            }
            EntrainmentMeasure m;
            judge_motion(recent_strobe_points(strobe_count), recent_upcrossings(), freq_ratio,
                         MAP_DEFAULT_PERIODS, &m);
            benchmark::DoNotOptimize(m);
        }
    }
    s.counters["steps"] = static_cast<double>(steps);
    s.counters["seconds_per_step"] = benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LockingMapPlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
