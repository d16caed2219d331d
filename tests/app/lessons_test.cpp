// The lessons' table walked once, a step opened from its address as the page and the command
// line open it, the refusals of --lesson and --step, and what the console prints of them. What
// each step's scenario shows: tests/app/lesson_claims_test.cpp.
#include "app/lessons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/options.h"
#include "app/run.h"
#include "core/state.h"

namespace {

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(Lessons, EveryStepHasItsTextsChoicesClaimsAndAScenarioALinkOpens)
{
    std::set<std::string> ids;
    for (const Lesson& lesson : LESSONS) {
        EXPECT_TRUE(ids.insert(lesson.id).second) << lesson.id << " twice";
        EXPECT_FALSE(lesson.steps.empty()) << lesson.id;
        for (std::size_t k = 0; k < lesson.steps.size(); ++k) {
            const LessonStep& step = lesson.steps[k];
            const std::string where = std::string("lesson ") + lesson.id + " step " + std::to_string(k + 1);
            std::vector<Words> all = {lesson.title, lesson.summary, step.question, step.why, step.look};
            all.insert(all.end(), step.choices, step.choices + choice_count(step));
            for (const Words& w : all)
                for (const Language l : {Language::japanese, Language::english}) {
                    const std::string t = in_language(w, l);
                    // The page takes them as tab-separated lines.
                    EXPECT_TRUE(!t.empty() && t.find_first_of("\t\n") == std::string::npos) << where << ": " << t;
                }
            EXPECT_GE(choice_count(step), 2) << where;
            EXPECT_TRUE(step.right >= 0 && step.right < choice_count(step)) << where;
            EXPECT_GE(claim_count(step), 1) << where;
            // A scenario as a copied link has it: every model value given, nothing refused or
            // noted, and a frame to open on (or a sweep to run).
            std::vector<AddressNote> notes;
            const Options o = step_scenario(step, &notes);
            EXPECT_TRUE(notes.empty()) << where << ": " << step.scenario;
            EXPECT_TRUE(o.epsilon && o.force && o.z && o.y0 && o.v0) << where;
            EXPECT_TRUE(o.frames.has_value() != o.sweep.has_value()) << where;
        }
    }
}

TEST(Lessons, AStepOpensItsScenarioUnlessTheLinkGivesValuesOfItsOwn)
{
    // Lesson 1 step 2 has a second start and the phase plane; step 3 neither: opening it after
    // step 2 must leave neither behind (a fresh start kept the second start before).
    std::vector<AddressNote> notes;
    Options o = address_options({{"lesson", "1"}, {"STEP", "2"}, {"lang", "en"}}, &notes);
    EXPECT_TRUE(notes.empty());
    open_asked_lesson(&o);
    show_start_views(o);
    EXPECT_EQ(*o.y0, 0.1);
    EXPECT_TRUE(phase_shown && second_start_given && second_init[0] == 4.0);
    EXPECT_TRUE(lesson_open == 1 && lesson_step_open == 2);
    o = address_options({{"lesson", "1"}, {"step", "3"}}, &notes);
    open_asked_lesson(&o);
    show_start_views(o);
    EXPECT_EQ(*o.epsilon, 5.0);
    EXPECT_EQ(*o.frames, 999);
    EXPECT_FALSE(phase_shown || second_start_given);
    // lesson=ID alone opens its first step.
    o = address_options({{"lesson", "6"}}, &notes);
    open_asked_lesson(&o);
    EXPECT_TRUE(lesson_open == 6 && lesson_step_open == 1 && *o.z == 2.0);
    // A copied link in a lesson: its own values over the lesson's step, which stays open.
    o = address_options({{"eps", "0.3"}, {"force", "0"}, {"z", "1"}, {"y0", "1"}, {"v0", "0"},
                         {"frames", "5"}, {"lesson", "4"}, {"step", "2"}}, &notes);
    open_asked_lesson(&o);
    EXPECT_TRUE(*o.epsilon == 0.3 && *o.y0 == 1.0 && *o.frames == 5 && o.layers.empty());
    EXPECT_TRUE(lesson_open == 4 && lesson_step_open == 2);
    // The list, and no lesson.
    o = address_options({{"lesson", "List"}}, &notes);
    open_asked_lesson(&o);
    EXPECT_TRUE(lesson_open == -1 && !has_parameters(o));
    o = Options{};
    open_asked_lesson(&o);
    EXPECT_EQ(lesson_open, 0);
}

TEST(Lessons, AnUnknownLessonOrAStepItHasNotIsRefusedByName)
{
    // The command line: status 2's message; the address: a refusal, and the dialog asks all.
    const struct {
        std::vector<std::string> args;
        const char* message_has;   // "" where all is well
    } cases[] = {
        {{"--lesson", "9"}, "'9' for --lesson: a lesson's number, 1 ... 8, or list"},
        {{"--lesson", ""}, "'' for --lesson"},
        {{"--lesson", "4", "--step", "4"}, "'4' for --step: a step of the lesson given"},
        {{"--lesson", "4", "--step", "0"}, "'0' for --step"},
        {{"--step", "1"}, "'1' for --step"},
        {{"--lesson", "list", "--step", "1"}, "'1' for --step"},
        {{"--lesson", "4", "--step", "3"}, ""},
        {{"--step", "3", "--lesson", "4"}, ""},
        {{"--lesson", "LIST"}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"forced-vdp"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        Options o;
        const std::string error = parse_options(static_cast<int>(argv.size()), argv.data(), &o);
        EXPECT_TRUE(*c.message_has == '\0' ? error.empty() : error.find(c.message_has) != std::string::npos)
            << c.args[0] << " " << c.args[1] << ": got \"" << error << "\"";
    }
    std::vector<AddressNote> notes;
    const Options o = address_options({{"eps", "0.1"}, {"lesson", "4"}, {"step", "9"}}, &notes);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0].name == "step" && notes[0].value == "9" && notes[0].wanted == WANTS_LESSON_STEP);
    EXPECT_TRUE(!o.epsilon && o.lesson.empty() && !o.lesson_step);
}

TEST(Lessons, TheConsoleListsThemAndMarksTheRightChoiceOnlyWhereAsked)
{
    for (const Language l : {Language::japanese, Language::english}) {
        EXPECT_EQ(occurrences(lesson_list_text(l), "\n"), LESSONS.size());
        const std::string mark = text_in(l, LESSON_RIGHT_MARK);
        for (const Lesson& lesson : LESSONS) {
            const std::string steps = lesson_steps_text(lesson, l);
            // Every text of the lesson is in it: the English console's in plain ASCII.
            EXPECT_TRUE(l == Language::japanese ||
                        std::all_of(steps.begin(), steps.end(), [](char c) { return c > 0; })) << steps;
            EXPECT_EQ(occurrences(steps, mark), lesson.steps.size()) << lesson.id;
            EXPECT_EQ(occurrences(steps, "--lesson " + std::string(lesson.id) + " --step "), lesson.steps.size());
            for (int k = 1; k <= static_cast<int>(lesson.steps.size()); ++k) {
                const std::string asked = step_question_text(lesson, k, l);
                const LessonStep& step = lesson.steps[k - 1];
                EXPECT_EQ(occurrences(asked, mark), 0u) << lesson.id << " " << k;   // not told before
                EXPECT_NE(asked.find(console_words(in_language(step.question, l), l)), std::string::npos);
                for (int i = 0; i <= choice_count(step); ++i)
                    EXPECT_EQ(occurrences(asked, "\n  " + std::to_string(i + 1) + ") "), i < choice_count(step) ? 1u : 0u);
            }
        }
    }
    EXPECT_EQ(console_words("√2 ≈ 1.41, ε = 0.1, 10⁻⁸", Language::english), "sqrt(2) ~ 1.41, eps = 0.1, 10^-8");
    EXPECT_EQ(claim_text({ClaimKind::two_attractors, 1.0, 3.0}, Language::english),
              "two attractors: period 1 from the first start, 3 from the second");
}

}  // namespace
