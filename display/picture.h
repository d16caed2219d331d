#pragma once
// The oscillator picture (a string with its masses) and the sweeping time traces.
#include "core/types.h"

// The string from left to (picture_right_x, left.y) with n masses at equal spacing, mass i
// displaced by scale * values[i] and drawn in PALETTE[i]. Uses the current line width.
void draw_oscillator(const Vec2& left, double scale, int n, const double values[]);

// Joins samples 0 ... count of values, sample i at x = origin.x + i dx (by repeated addition)
// and y = origin.y + scale * values[i], with lines of width 2 in colour.
void draw_trace(const Vec2& origin, double dx, double scale, int count, const double values[],
                const Color4& colour);

// Trace i of rows (row i starting at histories + i * row_length) with scales[i] in
// PALETTE[i]; row 0 first, so later rows cover earlier ones.
void draw_traces(const Vec2& origin, double dx, const double scales[], int rows, int count,
                 const double histories[], int row_length);
