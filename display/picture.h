#pragma once
// The oscillator picture (a string with its masses) and the sweeping time traces.
#include "core/types.h"

constexpr float TRACE_WIDTH = 2.0f;   // pixels: the traces' lines, and the width they leave

// The string from left to (picture_right_x, left.y) with n masses at equal spacing, mass i
// displaced by scale * values[i] and drawn in PALETTE[i]. Uses the current line width.
void draw_oscillator(const Vec2& left, double scale, int n, const double values[]);

// Trace i of rows (row i starting at histories + i * row_length) with scales[i] in
// PALETTE[i]; row 0 first, so later rows cover earlier ones. Each joins its samples
// 0 ... count, sample k at x = origin.x + k dx (by repeated addition) and
// y = origin.y + scales[i] * value, with lines of TRACE_WIDTH; the width is set even where
// count is 0.
void draw_traces(const Vec2& origin, double dx, const double scales[], int rows, int count,
                 const double histories[], int row_length);
