#pragma once
// Short lessons that check themselves. Each step asks a question, offers the choices of a
// prediction (the right one said after the choice, with why), opens a scenario written as the
// page's address parameters, says what to look at there, and carries what that scenario shows
// as data, its claims, which a test runs headless with the program's own integrator and
// measures. Both languages side by side. The command line lists the lessons (--lesson list),
// prints one's steps (--lesson ID) and opens a step (--lesson ID --step K); the page's Lessons
// panel takes a student through them, and lesson=ID&step=K in its address opens a step.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/texts.h"

constexpr int LESSON_CHOICE_CAPACITY = 4;   // choices of a prediction: 2 ... 4
constexpr int LESSON_CLAIM_CAPACITY = 2;    // claims of a step: 1 or 2
constexpr double CLAIM_TOLERANCE = 0.03;    // "about" in a claim: within 3 % of its figure

// A text in both languages, UTF-8. The Japanese keeps to JIS X 0208, so that a Shift_JIS or
// EUC-JP console shows it; the English may use the page's symbols (ε, √, ≈), which the
// console writes in ASCII (console_words).
struct Words {
    const char* ja;
    const char* en;
};

// What a step's scenario shows, as the test checks it: at the frame the scenario opens on, or
// at the end of the sweep it asks for. Figures are the claim's value and other.
enum class ClaimKind {
    none,              // no claim in this place
    amplitude,         // the free swing's largest |y| about value, the second start's as well
    frequency,         // the free swing's angular frequency about value
    locked,            // locked, the first harmonic of the last period about value
    drifting,          // drifting: one slip against the push every value time units, about
    modulated,         // no strobe period and no slip, the strobe points spread over > value
    period,            // a strobe period of value forcing periods
    two_attractors,    // the first start's strobe period value, the second start's other
    hysteresis,        // the sweep: at z = value locked going up, strobe period other coming down
    quasi_periodic,    // no strobe period; the largest Lyapunov exponent below value (1 / time)
    chaotic,           // no strobe period; the largest Lyapunov exponent above value (1 / time)
    stable_predicted,  // harmonic balance predicts a stable response of about value at z
    saddle_predicted,  // and a saddle of about value above √2, the real orbit next to it a saddle
    none_predicted,    // harmonic balance predicts no stable response at z
};

struct Claim {
    ClaimKind kind;
    double value = 0.0;
    double other = 0.0;
};

struct LessonStep {
    Words question;
    Words choices[LESSON_CHOICE_CAPACITY];   // the first 2 ... 4; {nullptr, nullptr} after
    int right;                               // index of the right choice
    Words why;                               // said after the choice
    Words look;                              // what to look at in the scenario
    const char* scenario;                    // the page's address parameters, as a link has them
    Claim claims[LESSON_CLAIM_CAPACITY];     // the first 1 or 2; ClaimKind::none after
};

struct Lesson {
    const char* id;                          // "1", "2", ...: "lesson 4, step 2"
    Words title;
    Words summary;                           // what it teaches, in a line
    std::span<const LessonStep> steps;
};

// In order; a new lesson comes last, so that the ids in links stay what they were.
extern const std::span<const Lesson> LESSONS;

// The lesson called id; nullptr where there is none.
const Lesson* lesson_named(std::string_view id);

const char* in_language(const Words& words, Language language);
int choice_count(const LessonStep& step);
int claim_count(const LessonStep& step);

// "lesson=ID&step=K", step from 1.
std::string lesson_address(const Lesson& lesson, int step);

// The console's texts, in language: one line per lesson ("4  The saddle between two folds");
// a lesson's steps with their choices (the right one marked), why, what to look at, how to
// open each, and what the tests check; a step's question and choices, as --step K prints them.
std::string lesson_list_text(Language language);
std::string lesson_steps_text(const Lesson& lesson, Language language);
std::string step_question_text(const Lesson& lesson, int step, Language language);
// What a claim says, in language: "drifting: one slip every ≈ 321 time units".
std::string claim_text(const Claim& claim, Language language);

// text as the console writes it in language: in English, the symbols the page shows written
// in ASCII (ε as eps, √ as sqrt, ≈ as ~); Japanese as it is.
std::string console_words(std::string_view text, Language language);
