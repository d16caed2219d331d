#pragma once
// The locking map's numerics: cells (z, F) at one eps, each run from the same start with the
// program's own integrator (Runge-Kutta-Gill with Gill's stored constants, steps of
// FRAME_TIME_STEP from t = 0, its order of operations) and judged as the sweep judges a ratio
// (judge_motion over the cell's stroboscopic points and upward crossings, interpolated within
// the steps as the window's measures interpolate them).
//
// Fast, by three means. MAP_LANES cells advance in lockstep, held as a structure of arrays
// that the compiler turns into vector instructions. The force's sine and cosine come from a
// rotation by z h / 2 each half step instead of a library call per stage, re-anchored on the
// library's values at every forcing instant, so that the rotation's rounding never outlives a
// period (a few 1e-15). A cell leaves its lane as soon as its class is decided, and the next
// cell takes the lane. Nothing here is shared between engines: each thread or Web Worker runs
// one.
#include <span>
#include <vector>

#include "core/types.h"

constexpr int MAP_LANES = 16;   // cells in lockstep: four AVX2 or two AVX-512 vectors each
// An unforced motion whose window lies within this of the origin is at rest.
constexpr double MAP_REST_RADIUS = 1e-3;

// A cell decided, by the id its caller gave it.
struct MapCellDone {
    long id;
    MapVerdict verdict;
};

// MAP_LANES lanes in lockstep: the state of each lane's cell, a structure of arrays, and the
// points and crossings each has taken. Idle lanes advance too, at rest and unforced, and
// never take a point. The state is held twice: [now] after the last step, [now ^ 1] before it,
// so that a step stores its results alone and the step's start is still there to interpolate.
struct MapEngine {
    MapRun run;
    int now;
    alignas(64) double y[2][MAP_LANES], v[2][MAP_LANES], t[2][MAP_LANES];
    alignas(64) double sine[2][MAP_LANES], cosine[2][MAP_LANES];   // of z t at t
    alignas(64) double half_cos[MAP_LANES], half_sin[MAP_LANES];   // of z h / 2
    alignas(64) double step_cos[MAP_LANES], step_sin[MAP_LANES];   // of z h
    alignas(64) double force[MAP_LANES], z[MAP_LANES];
    alignas(64) double due[MAP_LANES];        // the next forcing instant; infinite when idle
    // y cos(z t) and y sin(z t) summed over the step ends since the period's first, which the
    // trapezoid rule weighs with the period's ends when the period closes.
    alignas(64) double sum_cos[MAP_LANES], sum_sin[MAP_LANES];
    bool busy[MAP_LANES];
    long id[MAP_LANES];
    long next_instant[MAP_LANES];    // k of due
    long next_judged[MAP_LANES];     // points at which the motion is judged next
    double amplitude[MAP_LANES];     // first harmonic of the last whole period
    // The period in progress: its start (the instant, y cos and y sin there) and its first
    // step end (t, y cos, y sin).
    double start[MAP_LANES][3], first[MAP_LANES][3];
    std::vector<StrobePoint> points[MAP_LANES];
    std::vector<double> crossings[MAP_LANES];
};

// Every lane idle, for cells of run.
void start_map_engine(MapEngine* e, const MapRun& run);

// Lanes holding a cell.
int map_lanes_busy(const MapEngine& e);

// Puts the cell (z, force) into an idle lane, from the start at t = 0; false when every lane
// is busy. z must be measurable (period_measurable).
bool put_map_cell(MapEngine* e, long id, double z, double force);

// Advances every lane until at least one cell is decided or `steps` steps have been taken;
// writes the decided cells (at most MAP_LANES) to done and returns how many.
int advance_map_engine(MapEngine* e, long steps, MapCellDone done[MAP_LANES]);

// Value i of the axis: from + (to - from) i / (count - 1), the last exactly `to`.
double map_axis_value(const MapAxis& axis, int i);
// Half the step between two values of the axis: how far a cell reaches either way (0.005 for a
// single value).
double map_cell_half_width(const MapAxis& axis);

// The held map (core/state.h): whether every cell of row r, or of the whole map, is decided
// (and its cells and band may be read).
bool map_row_finished(int row);
bool map_finished();

// The class of a motion judged by judge_motion: an unforced motion is at rest or, oscillating
// freely, drifting (nothing forces it to lock); otherwise its state.
MapClass map_class_of(const EntrainmentMeasure& m, std::span<const StrobePoint> window,
                      double force);
