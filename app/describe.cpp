// The motion in words.
#include "app/describe.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "app/console.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/harmonic_measure.h"
#include "response/balance_roots.h"
#include "response/stability.h"

namespace {

constexpr double HALF_SLIP = 0.5;         // fewer slips than this over the span: none seen
constexpr int FREE_CROSSINGS = 41;        // the latest crossings that time a free swing
constexpr double ONE_DECIMAL_BELOW = 10;  // a slip's time: one decimal below, whole above

enum WordsKind { lost, not_measured, free_swing, at_rest, settling, locked, modulated,
                 drifting, periodic };

const char* const ENGLISH_COUNTS[] = {"zero", "one", "two", "three", "four", "five",
                                      "six", "seven", "eight", "nine", "ten"};

std::string fixed(double v, int decimals)
{
    char digits[48];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, v);
    return digits;
}

// A count as a sentence says it: in words in English up to ten, else in digits.
std::string count_words(long n, Language language)
{
    if (language == Language::english && n >= 0 && n <= 10)
        return ENGLISH_COUNTS[n];
    return std::to_string(n);
}

std::string words(Language language, Text id, std::initializer_list<std::string_view> args = {})
{
    return fill_text(text_in(language, id), args);
}

// "; amplitude 3.20, predicted 3.20 (stable)"; nothing without an amplitude.
std::string amplitude_words(const MotionFacts& f, Language l)
{
    if (std::isnan(f.amplitude))
        return {};
    std::string s = words(l, WORDS_AMPLITUDE, {fixed(f.amplitude, 2)});
    if (std::isnan(f.predicted))
        return s + words(l, WORDS_NONE_PREDICTED);
    const Text class_word = static_cast<Text>(CLASS_STABLE + static_cast<int>(f.predicted_class));
    return s + words(l, WORDS_PREDICTED, {fixed(f.predicted, 2), words(l, class_word)});
}

// "; amplitude 1.62 to 2.24", or one amplitude where both read the same.
std::string range_words(const MotionFacts& f, Language l)
{
    if (std::isnan(f.low) || std::isnan(f.high))
        return {};
    const std::string low = fixed(f.low, 2);
    const std::string high = fixed(f.high, 2);
    return low == high ? words(l, WORDS_AMPLITUDE, {low}) : words(l, WORDS_RANGE, {low, high});
}

std::string periodic_words(const MotionFacts& f, Language l)
{
    const std::string n = std::to_string(f.strobe_period);
    const long swings = std::isnan(f.rotation) ? 0 : std::lround(f.rotation * f.strobe_period);
    if (swings < 1)
        return words(l, WORDS_PERIODIC_REPEATS, {n, count_words(f.strobe_period, l)});
    const std::string swung = swings == 1 ? words(l, WORDS_ONE_SWING)
                                          : words(l, WORDS_SWINGS, {count_words(swings, l)});
    return words(l, WORDS_PERIODIC, {n, swung, count_words(f.strobe_period, l)});
}

bool slips_unseen(const MotionFacts& f)
{
    return std::fabs(1.0 - f.rotation) * f.span < HALF_SLIP;
}

std::string drifting_words(const MotionFacts& f, Language l)
{
    if (std::isnan(f.rotation))
        return words(l, WORDS_DRIFTING);
    if (slips_unseen(f))
        return words(l, WORDS_MODULATED);
    const double per_push = std::fabs(1.0 - f.rotation);
    if (per_push >= HALF_SLIP)
        return words(l, WORDS_SWINGS_PER_PUSH, {fixed(f.rotation, 2)});
    // One slip takes 2 pi over the drift's angular frequency z |1 - rotation|.
    const double slip_time = 2.0 * std::numbers::pi / (f.z * per_push);
    const std::string time = fixed(slip_time, slip_time < ONE_DECIMAL_BELOW ? 1 : 0);
    return words(l, f.rotation < 1.0 ? WORDS_FALLS_BEHIND : WORDS_GAINS, {time});
}

// The rotation over every period held after the settling ones, and the free swing's angular
// frequency over the latest crossings.
void take_crossings(MotionFacts* f)
{
    const std::span<const StrobePoint> points =
        recent_strobe_points(strobe_count - MEASURE_SETTLE_PERIODS);
    if (f->measurable && points.size() >= 2) {
        const std::span<const double> c = upcrossings_within(points.front().t, points.back().t);
        f->rotation = rotation_number(c, freq_ratio);
        f->span = c.empty() ? 0.0 : freq_ratio * (c.back() - c.front()) / (2.0 * std::numbers::pi);
    }
    const std::span<const double> all = recent_upcrossings();
    const std::span<const double> latest = all.last(std::min<std::size_t>(all.size(), FREE_CROSSINGS));
    if (latest.size() >= 2)
        f->free_frequency = 2.0 * std::numbers::pi * static_cast<double>(latest.size() - 1) /
                            (latest.back() - latest.front());
}

// The response harmonic balance predicts nearest to the measured amplitude, and its class.
void take_prediction(MotionFacts* f)
{
    double roots[RESPONSE_ROOT_CAPACITY];
    const int count = response_amplitudes(epsilon, force_amp, freq_ratio, roots);
    for (int i = 0; i < count && !std::isnan(f->amplitude); ++i)
        if (std::isnan(f->predicted) ||
            std::fabs(roots[i] - f->amplitude) < std::fabs(f->predicted - f->amplitude))
            f->predicted = roots[i];
    if (!std::isnan(f->predicted))
        f->predicted_class = classify_response(epsilon, freq_ratio, f->predicted);
}

}  // namespace

MotionFacts motion_facts()
{
    MotionFacts f{};
    f.finite = std::isfinite(state[0]) && std::isfinite(state[1]);
    f.forced = force_amp != 0.0;
    f.measurable = period_measurable(freq_ratio);
    f.z = freq_ratio;
    f.periods = strobe_count;
    f.state = motion_measure.state;
    f.strobe_period = motion_measure.strobe_period;
    f.rotation = f.free_frequency = f.amplitude = f.low = f.high = f.predicted = NAN;
    take_crossings(&f);
    if (!last_measured_amplitude(&f.amplitude))
        f.amplitude = NAN;
    if (measured_range(&f.low, &f.high) == 0)
        f.low = f.high = NAN;
    take_prediction(&f);
    return f;
}

int words_kind(const MotionFacts& f)
{
    if (!f.finite)
        return lost;
    if (!f.forced)
        return std::isnan(f.free_frequency) ? at_rest : free_swing;
    if (!f.measurable)
        return not_measured;
    switch (f.state) {
    case MotionState::settling: return settling;
    case MotionState::locked: return locked;
    case MotionState::periodic: return periodic + std::min(f.strobe_period, 63 - periodic);
    case MotionState::drifting: break;
    }
    return !std::isnan(f.rotation) && slips_unseen(f) ? modulated : drifting;
}

std::string describe_motion(const MotionFacts& f, Language l)
{
    switch (words_kind(f)) {
    case lost: return words(l, WORDS_LOST);
    case at_rest: return words(l, WORDS_REST);
    case free_swing: return words(l, WORDS_FREE, {fixed(f.free_frequency, 2)});
    case not_measured: return words(l, WORDS_NOT_MEASURED, {fixed(largest_measurable_ratio(), 1)});
    case settling:
        if (f.periods < MEASURE_SETTLE_PERIODS + MEASURE_WINDOW_PERIODS)
            return words(l, WORDS_SETTLING_COUNT,
                         {std::to_string(MEASURE_SETTLE_PERIODS + MEASURE_WINDOW_PERIODS),
                          std::to_string(f.periods)});
        return words(l, WORDS_SETTLING);
    case locked: return words(l, WORDS_LOCKED) + amplitude_words(f, l);
    default: break;
    }
    if (f.state == MotionState::periodic)
        return periodic_words(f, l);
    return drifting_words(f, l) + range_words(f, l);
}

std::string brief_description(const std::string& sentence, Language language)
{
    return sentence.substr(0, sentence.find(text_in(language, WORDS_HEAD_END))) +
           text_in(language, WORDS_BRIEF_END);
}

std::string motion_announcement(const MotionFacts& facts, double now_ms, Language language)
{
    const int kind = words_kind(facts);
    const bool too_soon = words_said_kind >= 0 && now_ms - words_said_at_ms < WORDS_GAP_MS;
    if (kind == words_said_kind || too_soon)
        return {};
    const bool again = (words_told_in_full >> kind & 1) != 0;
    words_said_kind = kind;
    words_said_at_ms = now_ms;
    words_told_in_full |= 1ull << kind;
    const std::string sentence = describe_motion(facts, language);
    return again ? brief_description(sentence, language) : sentence;
}

void print_motion_words()
{
    console_write((describe_motion(motion_facts(), console_language) + "\n").c_str());
}
