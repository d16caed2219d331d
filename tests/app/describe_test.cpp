// The motion in words: one table of sentences in both languages (each state, one swing and
// several, rounding, measures missing), sentences of measured motions against our own
// integration, and the live region's rule. F10 is tried in the page's test.
#include "app/describe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <regex>
#include <string>

#include "app/run.h"
#include "core/state.h"
#include "tests/support/program_run.h"
#include "tests/support/reference_motion.h"

namespace {

// A locked motion at z = 1 after 500 forcing periods; each case changes what it needs.
MotionFacts locked_facts()
{
    return {true, true, true, 1.0, 500, MotionState::locked, 1, 1.0, 400.0, 1.0,
            3.2037, 3.2037, 3.2037, 3.2012, ResponseClass::stable};
}

void periodic(MotionFacts& f, int n, double rotation)
{
    f.state = MotionState::periodic;
    f.strobe_period = n;
    f.rotation = rotation;
}

void drifting(MotionFacts& f, double z, double rotation, double low, double high)
{
    f = {true, true, true, z, 500, MotionState::drifting, 0, rotation, 400.0, 1.0, NAN, low, high,
         NAN, ResponseClass::stable};
}

const struct Case {
    const char* name;
    void (*change)(MotionFacts&);
    const char* english;
    const char* japanese;
} CASES[] = {
    {"locked", [](MotionFacts&) {},
     "Locked: one swing per push; amplitude 3.20, predicted 3.20 (stable)",
     "引き込み：外力 1 回に 1 回振れる。振幅 3.20，予測 3.20（安定）"},
    {"locked before a whole period", [](MotionFacts& f) { f.amplitude = NAN; },
     "Locked: one swing per push", "引き込み：外力 1 回に 1 回振れる"},
    {"locked, nothing predicted", [](MotionFacts& f) { f.amplitude = 2.0; f.predicted = NAN; },
     "Locked: one swing per push; amplitude 2.00, none predicted",
     "引き込み：外力 1 回に 1 回振れる。振幅 2.00，予測なし"},
    {"locked on a saddle, rounded up",
     [](MotionFacts& f) { f.amplitude = 0.996; f.predicted = 1.006; f.predicted_class = ResponseClass::saddle; },
     "Locked: one swing per push; amplitude 1.00, predicted 1.01 (saddle)",
     "引き込み：外力 1 回に 1 回振れる。振幅 1.00，予測 1.01（鞍点）"},
    {"one swing in three", [](MotionFacts& f) { periodic(f, 3, 1.0 / 3.0); },
     "Period 3: one swing every three pushes", "周期 3：1 回振れる（外力 3 回ごと）"},
    {"two swings, beyond ten in digits", [](MotionFacts& f) { periodic(f, 12, 2.0 / 12.0); },
     "Period 12: two swings every 12 pushes", "周期 12：2 回振れる（外力 12 回ごと）"},
    {"a period without crossings", [](MotionFacts& f) { periodic(f, 5, NAN); },
     "Period 5: repeats every five pushes", "周期 5：外力 5 回ごとに繰り返す"},
    {"falling behind", [](MotionFacts& f) { drifting(f, 1.02, 0.9807, 1.6249, 2.2351); },
     "Drifting: the swing falls one cycle behind the push every 319 time units; amplitude 1.62 to 2.24",
     "引き込まれていない：319 時間単位ごとに外力より 1 周期遅れる。振幅 1.62 〜 2.24"},
    {"gaining, one amplitude", [](MotionFacts& f) { drifting(f, 0.8, 1.2, 0.6601, 0.6604); },
     "Drifting: the swing gains one cycle on the push every 39 time units; amplitude 0.66",
     "引き込まれていない：39 時間単位ごとに外力より 1 周期進む。振幅 0.66"},
    {"a quick slip", [](MotionFacts& f) { drifting(f, 1.5, 0.55, NAN, NAN); },
     "Drifting: the swing falls one cycle behind the push every 9.3 time units",
     "引き込まれていない：9.3 時間単位ごとに外力より 1 周期遅れる"},
    {"far from one to one", [](MotionFacts& f) { drifting(f, 0.5, 1.9956, 0.66, 0.66); },
     "Drifting: about 2.00 swings per push; amplitude 0.66",
     "引き込まれていない：外力 1 回に約 2.00 回振れる。振幅 0.66"},
    {"drifting without crossings", [](MotionFacts& f) { drifting(f, 1.0, NAN, NAN, NAN); },
     "Drifting: no steady period", "引き込まれていない：一定の周期がない"},
    {"modulated", [](MotionFacts& f) { drifting(f, 1.066, 1.000003, 1.4436, 1.9503); f.span = 2000.0; },
     "Modulated: the swing keeps pace with the push, its amplitude wanders; amplitude 1.44 to 1.95",
     "変調：外力と歩調は合うが，振幅が揺れる。振幅 1.44 〜 1.95"},
    {"settling, counted", [](MotionFacts& f) { f.state = MotionState::settling; f.periods = 12; },
     "Settling: judged after 70 pushes, 12 so far", "整定中：外力 70 周期の後に判定（いま 12）"},
    {"settling, undecided", [](MotionFacts& f) { f.state = MotionState::settling; },
     "Settling: not steady yet", "整定中：まだ定まらない"},
    {"free", [](MotionFacts& f) { f.forced = false; f.free_frequency = 0.99837; },
     "No push (F = 0): the swing runs free at angular frequency 1.00",
     "外力なし（F = 0）：角振動数 1.00 で自由に振れる"},
    {"at rest", [](MotionFacts& f) { f.forced = false; f.free_frequency = NAN; },
     "No push (F = 0): at rest", "外力なし（F = 0）：静止"},
    {"z not measured", [](MotionFacts& f) { f.measurable = false; f.z = 0.0; },
     "Not measured: z must be above 0 and at most 78.5", "測定なし：z は 0 より大きく 78.5 以下"},
    {"out of range", [](MotionFacts& f) { f.finite = false; f.forced = false; },
     "Out of range: the motion has left the range of numbers", "範囲外：運動が数値で表せる範囲を超えた"},
};

TEST(MotionWords, EachStateInBothLanguages)
{
    for (const Case& c : CASES) {
        MotionFacts f = locked_facts();
        c.change(f);
        EXPECT_EQ(describe_motion(f, Language::english), c.english) << c.name;
        EXPECT_EQ(describe_motion(f, Language::japanese), c.japanese) << c.name;
    }
    EXPECT_EQ(brief_description(CASES[0].english, Language::english), "Locked.");
    EXPECT_EQ(brief_description(CASES[4].japanese, Language::japanese), "周期 3。");
    EXPECT_EQ(brief_description(CASES[15].english, Language::english), "No push (F = 0).");
}

TEST(MotionWords, MeasuredMotionsSayWhatTheyDo)
{
    start_program_run(0.1, 0.5, 1.0, 0.0);
    advance_frames(5000);
    EXPECT_EQ(describe_motion(motion_facts(), Language::english), CASES[0].english);
    start_program_run(5.0, 5.0, 2.0, 0.0);
    advance_frames(3000);
    EXPECT_EQ(describe_motion(motion_facts(), Language::japanese), CASES[4].japanese);

    // The beat's slip against our own classical Runge-Kutta over sixty beats: crossings
    // per forcing period from the first crossing after t = 500 to the last before 20,000.
    start_program_run(0.05, 0.02, 1.02, 2.0);
    advance_frames(20000);
    std::smatch slip;
    const std::string said = describe_motion(motion_facts(), Language::english);
    ASSERT_TRUE(std::regex_match(said, slip, std::regex(
        R"(Drifting: the swing falls one cycle behind the push every (\d+) time units; amplitude 1\.\d\d to \d\.\d\d)")))
        << said;
    const ReferenceForcing forcing{0.05, 0.02, 1.02};
    double s[2] = {2.0, 0.0}, t = 0.0, first = 0.0, last = 0.0;
    long crossings = 0;
    while (t < 20000.0) {
        const double y_before = s[0], t_before = t;
        reference_steps(forcing, &t, 0.02, 1, s);
        if (t > 500.0 && y_before < 0.0 && s[0] >= 0.0) {
            last = t_before + 0.02 * y_before / (y_before - s[0]);
            first = crossings++ == 0 ? last : first;
        }
    }
    const double rotation = (crossings - 1) / (1.02 * (last - first) / (2.0 * std::numbers::pi));
    const double slip_time = 2.0 * std::numbers::pi / (1.02 * (1.0 - rotation));
    EXPECT_NEAR(std::stod(slip[1]), slip_time, 0.02 * slip_time) << slip_time;
}

TEST(MotionWords, LiveRegionSpeaksOnAChangeOfKindAtMostEveryGapAndBrieflyAgain)
{
    words_said_kind = -1;
    words_told_in_full = 0;
    MotionFacts settling = locked_facts(), locked = locked_facts(), drift;
    settling.state = MotionState::settling;
    settling.periods = 10;
    drifting(drift, 1.02, 0.9807, 1.6249, 2.2351);
    const struct {
        double now_ms;
        const MotionFacts* facts;
        const char* said;
    } steps[] = {
        {0.0, &settling, "Settling: judged after 70 pushes, 10 so far"},
        {100.0, &settling, ""},          // the same kind
        {1000.0, &locked, ""},           // too soon
        {3000.0, &locked, CASES[0].english},
        {3500.0, &settling, ""},
        {6000.0, &locked, ""},           // back where it was: nothing new to say
        {6500.0, &settling, "Settling."},   // said whole before
        {9499.0, &drift, ""},
        {9500.0, &drift, CASES[7].english},
    };
    for (const auto& step : steps)
        EXPECT_EQ(motion_announcement(*step.facts, step.now_ms, Language::english), step.said)
            << "at " << step.now_ms;
}

}  // namespace
