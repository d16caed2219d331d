#pragma once
// The motion in words: what it does now, as a sentence in either language, built from its
// measures (the entrainment measures' state and the crossings of y, dynamics/
// entrainment_measure.h; the first harmonic and its range, dynamics/harmonic_measure.h; the
// response harmonic balance predicts and its class, response/balance_roots.h and
// response/stability.h), its numbers rounded for reading. F10 prints it on the console; the
// page shows it with the values and says it in a polite live region when the kind of motion
// changes.
#include <string>

#include "app/texts.h"
#include "core/types.h"

// What the sentences are made of (motion_facts takes them from the program-wide state). A
// measure that is not there is NaN.
struct MotionFacts {
    bool finite;              // y and v are numbers
    bool forced;              // F != 0
    bool measurable;          // z > 0 and a forcing period of at least MEASURE_MIN_STEPS steps
    double z;
    long periods;             // stroboscopic points taken since the measures restarted
    MotionState state;        // motion_measure's, and its strobe period
    int strobe_period;
    // Upward crossings of y per forcing period over every period held after the first
    // MEASURE_SETTLE_PERIODS (up to STROBE_CAPACITY), not only the state's window of
    // MEASURE_WINDOW_PERIODS: a beat slower than the window is still timed over whole beats.
    double rotation;
    double span;              // the forcing periods its crossings span
    double free_frequency;    // angular frequency of the latest crossings (the free swing)
    double amplitude;         // first harmonic of the last whole forcing period
    double low, high;         // its least and largest over the last MEASURED_PERIODS
    double predicted;         // the harmonic-balance response nearest to amplitude
    ResponseClass predicted_class;
};

MotionFacts motion_facts();

// The sentence, e.g. "Locked: one swing per push; amplitude 3.20, predicted 3.20 (stable)".
// A drift is told as the time one slip takes where the motion swings between half and one
// and a half times per push, as swings per push beyond; one with fewer than half a slip over
// all its periods is modulated, not drifting.
std::string describe_motion(const MotionFacts& facts, Language language);
// Its head alone ("Locked.", "Period 3."): what is said again of a kind said in full before.
std::string brief_description(const std::string& sentence, Language language);

// The kind of motion a sentence tells, one of fewer than 64: the live region speaks when it
// changes.
int words_kind(const MotionFacts& facts);

constexpr double WORDS_GAP_MS = 3000.0;   // the live region speaks at most this often

// What the page's live region says at now_ms (a steady clock), in words_said_kind and
// words_* (core/state.h): the sentence, when the kind has changed since it last spoke and
// WORDS_GAP_MS have passed since then; its brief form where that kind was said in full
// before; "" otherwise (the region keeps what it said).
std::string motion_announcement(const MotionFacts& facts, double now_ms, Language language);

// F10: the sentence on the console, in its language.
void print_motion_words();
