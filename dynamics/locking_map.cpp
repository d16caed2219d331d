// The locking map's lanes: the integrator over a structure of arrays, the stroboscopic points
// and crossings taken where a step holds one, and each cell's judgement.
#include "dynamics/locking_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/rkg_step.h"
#include "dynamics/vdp_model.h"

namespace {

// Once its window is full a motion is judged again when its points have grown by half as many
// as it has run since (at most JUDGE_STRIDE_MOST later): a judgement costs as much as a few
// forcing periods of integration, and a decision then comes at most half its extra periods
// late (the classes of a 101 x 41 map stay the same; it runs 1.5 % more periods).
constexpr long JUDGE_GROWTH = 2;
constexpr long JUDGE_STRIDE_MOST = 64;

constexpr double SINGLE_CELL_HALF_WIDTH = 0.005;   // an axis of one value: cells 0.01 wide

// x86-64 builds carry the lanes' loop for AVX-512 and AVX2 besides the baseline, chosen when
// the program starts; other targets (WebAssembly) compile it once.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VECTOR_CLONES
#endif

// One step of every lane from state buffer From; whether some lane's step holds a forcing
// instant or an upward crossing of y. The lanes' arithmetic is the program's (rkg_step,
// vdp_rhs); only the sines come from the rotation. From is a constant, so that the compiler
// sees the two buffers apart and turns the loop into vector instructions.
template <int From>
[[gnu::always_inline]] inline bool step_lanes(MapEngine* e)
{
    constexpr int To = From ^ 1;
    const double h = FRAME_TIME_STEP;
    const double eps = e->run.eps;
    int hit = 0;
    for (int l = 0; l < MAP_LANES; ++l) {
        const double y = e->y[From][l], v = e->v[From][l];
        const double s = e->sine[From][l], c = e->cosine[From][l];
        const double s_half = s * e->half_cos[l] + c * e->half_sin[l];
        const double s_end = s * e->step_cos[l] + c * e->step_sin[l];
        const double c_end = c * e->step_cos[l] - s * e->step_sin[l];
        const double f = e->force[l];
        const GillStage ya = gill_first(v * h, y);
        const GillStage va = gill_first(vdp_acceleration(eps, f, s, y, v) * h, v);
        const GillStage yb = gill_middle(va.y * h, ya, GILL_C1);
        const GillStage vb =
            gill_middle(vdp_acceleration(eps, f, s_half, ya.y, va.y) * h, va, GILL_C1);
        const GillStage yc = gill_middle(vb.y * h, yb, GILL_C2);
        const GillStage vc =
            gill_middle(vdp_acceleration(eps, f, s_half, yb.y, vb.y) * h, vb, GILL_C2);
        const double y_end = gill_last(vc.y * h, yc);
        const double v_end = gill_last(vdp_acceleration(eps, f, s_end, yc.y, vc.y) * h, vc);
        const double t_end = e->t[From][l] + h;
        e->sum_cos[l] = e->sum_cos[l] + y_end * c_end;
        e->sum_sin[l] = e->sum_sin[l] + y_end * s_end;
        e->y[To][l] = y_end;
        e->v[To][l] = v_end;
        e->t[To][l] = t_end;
        e->sine[To][l] = s_end;
        e->cosine[To][l] = c_end;
        hit |= static_cast<int>(e->due[l] <= t_end) |
               (static_cast<int>(y < 0.0) & static_cast<int>(y_end >= 0.0));
    }
    e->now = To;
    return hit != 0;
}

VECTOR_CLONES bool step_from_first(MapEngine* e)
{
    return step_lanes<0>(e);
}

VECTOR_CLONES bool step_from_second(MapEngine* e)
{
    return step_lanes<1>(e);
}

// The step's end `after` (else its start) of lane l as the interpolation takes it.
StepEnd step_end(const MapEngine& e, int l, bool after)
{
    const int at = after ? e.now : e.now ^ 1;
    StepEnd end;
    end.t = e.t[at][l];
    end.s[0] = e.y[at][l];
    end.s[1] = e.v[at][l];
    end.d1[0] = end.s[1];
    end.d1[1] = vdp_acceleration(e.run.eps, e.force[l], e.sine[at][l], end.s[0], end.s[1]);
    end.d2[0] = end.d1[1];
    end.d2[1] = vdp_jerk_of(e.run.eps, e.force[l], e.z[l], e.cosine[at][l], end.s[0], end.s[1],
                            end.d1[1]);
    return end;
}

// The first harmonic of the period that lane l's step from a to b closes at `at`, by the
// trapezoid rule over the step ends within it and its two ends (y linear within the steps that
// hold them, as the window measures it): h times the sum less half the first and the last end,
// and the two partial steps. The next period starts there.
void close_period(MapEngine* e, int l, const StepEnd& a, const StepEnd& b, double at)
{
    const double z = e->z[l];
    const double y_at = a.s[0] + (b.s[0] - a.s[0]) * (at - a.t) / (b.t - a.t);
    const double edge[3] = {at, y_at * std::cos(z * at), y_at * std::sin(z * at)};
    const double next[3] = {b.t, b.s[0] * e->cosine[e->now][l], b.s[0] * e->sine[e->now][l]};
    if (e->next_instant[l] > 0) {
        const double h = FRAME_TIME_STEP;
        const int before = e->now ^ 1;
        const double last[3] = {a.t, a.s[0] * e->cosine[before][l], a.s[0] * e->sine[before][l]};
        const double* begin = e->start[l];
        const double* first = e->first[l];
        double sums[2] = {e->sum_cos[l] - next[1], e->sum_sin[l] - next[2]};
        for (int i = 0; i < 2; ++i)
            sums[i] = h * sums[i] - 0.5 * h * (first[i + 1] + last[i + 1]) +
                      0.5 * (first[0] - begin[0]) * (begin[i + 1] + first[i + 1]) +
                      0.5 * (at - last[0]) * (last[i + 1] + edge[i + 1]);
        const double scale = z / std::numbers::pi;
        e->amplitude[l] = std::hypot(scale * sums[0], scale * sums[1]);
    }
    std::copy(edge, edge + 3, e->start[l]);
    std::copy(next, next + 3, e->first[l]);
    e->sum_cos[l] = next[1];
    e->sum_sin[l] = next[2];
}

// Lane l's step held the instant `due`: the point there, the first-harmonic period closed,
// and the rotation anchored again on the library's sine and cosine at the step's end.
void take_instant(MapEngine* e, int l, const StepEnd& a, const StepEnd& b)
{
    const double at = e->due[l];
    double s[2];
    interpolate_step(a, b, at, s);
    e->points[l].push_back({e->next_instant[l], at, s[0], s[1]});
    close_period(e, l, a, b, at);
    const double z = e->z[l];
    e->sine[e->now][l] = std::sin(z * b.t);
    e->cosine[e->now][l] = std::cos(z * b.t);
    e->next_instant[l] = e->next_instant[l] + 1;
    e->due[l] = plain_forcing_instant(e->next_instant[l], z);
}

// Lane l at rest, unforced, with no instant to come: idle.
void idle_lane(MapEngine* e, int l)
{
    e->busy[l] = false;
    for (int b = 0; b < 2; ++b) {
        e->y[b][l] = e->v[b][l] = e->t[b][l] = 0.0;
        e->sine[b][l] = 0.0;
        e->cosine[b][l] = 1.0;
    }
    e->half_cos[l] = e->step_cos[l] = 1.0;
    e->half_sin[l] = e->step_sin[l] = 0.0;
    e->force[l] = 0.0;
    e->z[l] = 1.0;
    e->due[l] = INFINITY;
    e->sum_cos[l] = e->sum_sin[l] = 0.0;
}

// Judges lane l's motion when due; true, with its verdict, once decided.
bool judge_lane(MapEngine* e, int l, MapVerdict* verdict)
{
    const std::vector<StrobePoint>& points = e->points[l];
    const long count = static_cast<long>(points.size());
    if (count < e->next_judged[l] && count < e->run.periods)
        return false;
    const long stride = (count - e->run.transient - e->run.window) / JUDGE_GROWTH;
    e->next_judged[l] = count + std::clamp(stride, 1L, JUDGE_STRIDE_MOST);
    const std::span<const StrobePoint> window =
        std::span(points).last(std::min<std::size_t>(points.size(), e->run.window));
    EntrainmentMeasure m;
    if (!judge_motion(points, e->crossings[l], e->z[l], e->run.transient, e->run.window,
                      e->run.periods, &m)) {
        // Periods too few for the transient and a window (the options allow it): settling.
        if (count < e->run.periods)
            return false;
        m = measured_over(window, e->crossings[l], e->z[l]);
        m.state = MotionState::settling;
    }
    *verdict = {map_class_of(m, window, e->force[l]), m,
                e->next_instant[l] > 1 ? e->amplitude[l] : NAN, count};
    if (verdict->map_class != MapClass::periodic && verdict->map_class != MapClass::locked)
        verdict->measure.strobe_period = 0;
    return true;
}

// What lane l's step held: a crossing, an instant (each at most once: a period holds at least
// MEASURE_MIN_STEPS steps); true, with the verdict, when the cell is decided.
bool take_events(MapEngine* e, int l, MapVerdict* verdict)
{
    const bool crossing = e->y[e->now ^ 1][l] < 0.0 && e->y[e->now][l] >= 0.0;
    const bool strobe = e->due[l] <= e->t[e->now][l];
    if (!e->busy[l] || (!crossing && !strobe))
        return false;
    const StepEnd a = step_end(*e, l, false);
    const StepEnd b = step_end(*e, l, true);
    if (crossing) {
        const double at = upcrossing_time(a, b);
        std::vector<double>& held = e->crossings[l];
        if (held.empty() || at > held.back())
            held.push_back(at);
    }
    if (!strobe)
        return false;
    take_instant(e, l, a, b);
    return judge_lane(e, l, verdict);
}

}  // namespace

double map_axis_value(const MapAxis& axis, int i)
{
    if (i >= axis.count - 1)
        return axis.to;
    return axis.from + (axis.to - axis.from) * i / (axis.count - 1);
}

double map_cell_half_width(const MapAxis& axis)
{
    return axis.count > 1 ? 0.5 * (axis.to - axis.from) / (axis.count - 1) : SINGLE_CELL_HALF_WIDTH;
}

bool map_row_finished(int row)
{
    return map_row_left != nullptr && row >= 0 && row < map_held_force.count &&
           map_row_left[static_cast<std::size_t>(row)].load(std::memory_order_acquire) == 0;
}

bool map_finished()
{
    return map_row_left != nullptr &&
           map_rows_done.load(std::memory_order_acquire) == map_held_force.count;
}

MapClass map_class_of(const EntrainmentMeasure& m, std::span<const StrobePoint> window,
                      double force)
{
    if (force == 0.0) {
        const bool at_rest = !window.empty() &&
                             std::all_of(window.begin(), window.end(), [](const StrobePoint& p) {
                                 return std::fabs(p.y) <= MAP_REST_RADIUS &&
                                        std::fabs(p.v) <= MAP_REST_RADIUS;
                             });
        if (at_rest)
            return MapClass::rest;
        if (m.state == MotionState::locked || m.state == MotionState::periodic)
            return MapClass::drifting;
    }
    switch (m.state) {
    case MotionState::locked: return MapClass::locked;
    case MotionState::periodic: return MapClass::periodic;
    case MotionState::drifting: return MapClass::drifting;
    case MotionState::settling: break;
    }
    return MapClass::settling;
}

void start_map_engine(MapEngine* e, const MapRun& run)
{
    e->run = run;
    e->now = 0;
    for (int l = 0; l < MAP_LANES; ++l) {
        idle_lane(e, l);
        e->points[l].reserve(static_cast<std::size_t>(run.periods) + 1);
    }
}

int map_lanes_busy(const MapEngine& e)
{
    return static_cast<int>(std::count(e.busy, e.busy + MAP_LANES, true));
}

bool put_map_cell(MapEngine* e, long id, double z, double force)
{
    const int l = static_cast<int>(std::find(e->busy, e->busy + MAP_LANES, false) - e->busy);
    if (l == MAP_LANES)
        return false;
    e->busy[l] = true;
    e->id[l] = id;
    const int now = e->now;
    e->y[now][l] = e->run.y0;
    e->v[now][l] = e->run.v0;
    e->t[now][l] = 0.0;
    e->sine[now][l] = 0.0;
    e->cosine[now][l] = 1.0;
    e->half_cos[l] = std::cos(z * (0.5 * FRAME_TIME_STEP));
    e->half_sin[l] = std::sin(z * (0.5 * FRAME_TIME_STEP));
    e->step_cos[l] = std::cos(z * FRAME_TIME_STEP);
    e->step_sin[l] = std::sin(z * FRAME_TIME_STEP);
    e->force[l] = force;
    e->z[l] = z;
    e->due[l] = 0.0;
    e->sum_cos[l] = e->sum_sin[l] = 0.0;
    e->next_instant[l] = 0;
    e->next_judged[l] = 0;
    e->amplitude[l] = NAN;
    e->points[l].clear();
    e->crossings[l].clear();
    return true;
}

int advance_map_engine(MapEngine* e, long steps, MapCellDone done[MAP_LANES])
{
    int count = 0;
    for (long i = 0; i < steps && count == 0; ++i) {
        if (!(e->now == 0 ? step_from_first(e) : step_from_second(e)))
            continue;
        for (int l = 0; l < MAP_LANES; ++l) {
            MapVerdict verdict;
            if (!take_events(e, l, &verdict))
                continue;
            done[count++] = {e->id[l], verdict};
            idle_lane(e, l);
        }
    }
    return count;
}
