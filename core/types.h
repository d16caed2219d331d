#pragma once
// Record types shared by every subsystem: plain data, no behaviour.

// A point of the scene in scene units (the window spans -1 ... 1 on both axes).
struct Vec2 {
    double x;
    double y;
};

// A colour as handed unchanged to the current-colour call: red, green, blue, alpha.
struct Color4 {
    float r;
    float g;
    float b;
    float a;
};

// Marks a harmonic-balance root that does not exist; the only non-positive ratio ever stored.
constexpr double NO_ROOT = -1.0;

// One sample of an amplitude curve, or one fold record. A ratio is present when > 0.
struct ResponsePoint {
    double z_high;     // forcing ratio of the higher root, or NO_ROOT
    double z_low;      // forcing ratio of the lower root, or NO_ROOT
    double amplitude;  // response amplitude R of the sample
};
