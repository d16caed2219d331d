// The two console languages: every text in both, with the same line structure, and the
// English dialog asking in the same order as the Japanese one.
#include "app/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/state.h"
#include "tests/support/dialog_io.h"

namespace {

// What a text does to the console's lines: line ends before, after and in all, and the
// places for a value.
struct Shape {
    std::size_t leading, trailing, line_ends, values;
    bool operator==(const Shape&) const = default;
};

Shape shape_of(const std::string& t)
{
    const std::size_t first = t.find_first_not_of('\n');
    const std::size_t last = t.find_last_not_of('\n');
    std::size_t values = 0;
    for (std::size_t at = t.find("%s"); at != std::string::npos; at = t.find("%s", at + 2))
        ++values;
    return {first == std::string::npos ? t.size() : first,
            last == std::string::npos ? 0 : t.size() - 1 - last,
            static_cast<std::size_t>(std::count(t.begin(), t.end(), '\n')), values};
}

TEST(Texts, BothLanguagesHaveEveryTextWithTheSameShape)
{
    for (int id = 0; id < TEXT_COUNT; ++id) {
        const std::string ja = text_in(Language::japanese, static_cast<Text>(id));
        const std::string en = text_in(Language::english, static_cast<Text>(id));
        EXPECT_FALSE(ja.empty() || en.empty()) << "text " << id;
        EXPECT_TRUE(shape_of(ja) == shape_of(en)) << "text " << id << ": \"" << en << "\"";
        // The console's English is plain ASCII for any terminal; the page is always UTF-8.
        EXPECT_TRUE(id >= FIRST_PAGE_TEXT || std::all_of(en.begin(), en.end(), [](char c) { return c > 0; }))
            << "English text " << id << " is not plain ASCII";
        // A prompt ends in the same way, so the cursor waits just after it.
        EXPECT_EQ(ja.back() == ' ', en.back() == ' ') << "text " << id;
    }
}

std::string english(std::initializer_list<Text> ids)
{
    std::string all;
    for (Text id : ids)
        all += text_in(Language::english, id);
    return all;
}

TEST(Texts, EnglishDialogAsksInTheSameOrderAtEveryEntry)
{
    const std::initializer_list<Text> help = {HELP_COLOURS, HELP_S_Y, HELP_M_T, HELP_F_E, HELP_J, HELP_ESC};
    const std::string key_help = english(help);
    const std::string initial = english({PROMPT_INITIAL}) + key_help;
    const std::string force = english({NOTE_ENTRAINMENT, NOTE_AWAY_FROM_ONE, PROMPT_FORCE}) + initial;
    const std::string whole = english({BANNER_TITLE, BANNER_EQUATION, BANNER_INPUT_1, BANNER_INPUT_2,
                                       BANNER_INPUT_3, PROMPT_EPSILON}) + force;
    console_language = Language::english;
    EXPECT_EQ(run_dialog('m', "0.1\n0.5 1\n0 0\n"), whole);
    EXPECT_EQ(run_dialog('f', "0.4 1.1\n0 0\n"), force);
    EXPECT_EQ(run_dialog('j', "0.5 0\n"), initial);
    console_language = Language::japanese;
    // The same reading of input: the values landed where the Japanese dialog puts them.
    EXPECT_EQ(epsilon, 0.1);
    EXPECT_EQ(freq_ratio, 1.1);
    EXPECT_EQ(state[0], 0.5);
}

}  // namespace
