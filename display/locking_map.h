#pragma once
// The locking map's picture, in place of the whole window's (F8, --map-snapshot): the held
// map's finished rows as cells coloured by class, the band where harmonic balance predicts a
// stable 1:1 response outlined over each row, axes with z and F, the title with eps, the
// legend, and while rows are still computing a line saying how far it is. The bitmap font has
// Latin glyphs only: the picture is in English in both languages (the console and the page's
// values panel say the same in Japanese).
#include "core/types.h"

// Where the cells lie, in scene units: z to the right, F upward.
constexpr double MAP_PLOT_LEFT = -0.80;
constexpr double MAP_PLOT_RIGHT = 0.95;
constexpr double MAP_PLOT_BOTTOM = -0.50;
constexpr double MAP_PLOT_TOP = 0.80;

// The class colours, for the picture and its tests. Apart for the colour-blind (hues of the
// Okabe-Ito palette) and in black-and-white print: 1:1 hatched, drifting nearly white,
// settling white with a black dot, rest dark grey, the other periods mid tones.
constexpr Color4 MAP_LOCKED_COLOUR = {0.337f, 0.706f, 0.914f, 0.0f};    // sky blue, white hatch
constexpr Color4 MAP_HATCH_COLOUR = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr Color4 MAP_DRIFTING_COLOUR = {0.92f, 0.92f, 0.92f, 0.0f};
constexpr Color4 MAP_SETTLING_COLOUR = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr Color4 MAP_REST_COLOUR = {0.35f, 0.35f, 0.35f, 0.0f};
constexpr Color4 MAP_OUTLINE_COLOUR = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr float MAP_OUTLINE_WIDTH = 3.0f;    // pixels
constexpr double MAP_HATCH_SPACING = 0.03;   // scene units between the 1:1 hatch's lines
// Periods 2, 3, ... 7 and above.
constexpr int MAP_PERIOD_COLOURS = 6;
constexpr Color4 MAP_PERIOD_COLOUR[MAP_PERIOD_COLOURS] = {
    {0.902f, 0.624f, 0.0f, 0.0f},     // orange: period 2
    {0.835f, 0.369f, 0.0f, 0.0f},     // vermillion: 3
    {0.8f, 0.475f, 0.655f, 0.0f},     // reddish purple: 4
    {0.0f, 0.62f, 0.451f, 0.0f},      // bluish green: 5
    {0.941f, 0.894f, 0.259f, 0.0f},   // yellow: 6
    {0.0f, 0.447f, 0.698f, 0.0f},     // blue: 7 and more
};

// The colour a cell is filled with.
Color4 map_cell_colour(const MapCell& cell);

// The cell of the held map whose rectangle holds the scene point (x, y); false for none.
bool map_cell_at(double x, double y, long* index);

// The whole picture (called by draw_frame while map_shown).
void draw_locking_map();
