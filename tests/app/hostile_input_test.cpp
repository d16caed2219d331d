// Whatever a student types at the dialog: each row starts from known values, feeds the dialog
// (entry 'm') one input, and states what every variable holds afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/state.h"
#include "tests/support/dialog_io.h"

namespace {

constexpr double HELD_EPS = 0.3, HELD_F = 0.6, HELD_Z = 1.2, HELD_Y0 = 0.1, HELD_V0 = 0.2;

struct HostileCase {
    const char* name;
    std::string input;
    double eps, force, z, y0, v0;  // expected afterwards
};

std::string big_line(char c, std::size_t n)
{
    return std::string(n, c) + "\n";
}

std::string with_nuls()
{
    return std::string("\0\0\0.5\n0.4 0.9\n3 4\n", 19);
}

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, VariablesHoldWhatWasReadableAndTheDialogGoesOn)
{
    run_dialog('m', "0.3\n0.6 1.2\n0.1 0.2\n");
    trace_dx = 0.001;
    const HostileCase& c = GetParam();
    const std::string out = run_dialog('m', c.input);
    EXPECT_EQ(epsilon, c.eps);
    EXPECT_EQ(force_amp, c.force);
    EXPECT_EQ(freq_ratio, c.z);
    EXPECT_EQ(y_init, c.y0);
    EXPECT_EQ(v_init, c.v0);
    // It ran to the end: the key help is out and the view is reset.
    const std::string last = console_text("\nESCキーで   ：終了\n");
    ASSERT_GE(out.size(), last.size());
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
    EXPECT_EQ(trace_len, 200);
    EXPECT_EQ(state[0], c.y0);
}

const HostileCase CASES[] = {
    {"EndOfInputAtFirstPrompt", "", HELD_EPS, HELD_F, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputAtSecondPrompt", "0.7\n", 0.7, HELD_F, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputInsideAPair", "0.7\n0.4", 0.7, 0.4, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputAtThirdPrompt", "0.7\n0.4 0.9\n", 0.7, 0.4, 0.9, HELD_Y0, HELD_V0},
    {"Letters", "abc\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"LettersForTheSecondOfAPair", "0.7\n0.4 zz\n3 4\n", 0.7, 0.4, HELD_Z, 3.0, 4.0},
    {"NotANumber", "nan\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"Infinity", "0.7\ninf 5\n3 4\n", 0.7, HELD_F, HELD_Z, 3.0, 4.0},
    {"OverflowingExponent", "1e999\n0.4 -1e999\n3 4\n", HELD_EPS, 0.4, HELD_Z, 3.0, 4.0},
    {"NegativeZero", "-0\n0.4 0.9\n3 4\n", -0.0, 0.4, 0.9, 3.0, 4.0},
    {"HexadecimalFloat", "0x1p3\n0.4 0.9\n3 4\n", 8.0, 0.4, 0.9, 3.0, 4.0},
    {"MegabyteOfLetters", big_line('x', 1 << 20) + "0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"MegabyteOfDigits", big_line('9', 1 << 20) + "0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"MegabyteOfBlanksBeforeANumber", std::string(1 << 20, ' ') + "0.7\n0.4 0.9\n3 4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"NulBytes", with_nuls(), HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"CrLfLineEnds", "0.7\r\n0.4 0.9\r\n3 4\r\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"TwoNumbersOnOneLine", "0.7 0.4\n0.9 3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"PairOnTwoLines", "0.7\n0.4\n0.9\n3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"ThreeNumbersAtAPairPrompt", "0.7\n0.4 0.9 3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    // A word that is not wholly a number is unreadable as a whole: nothing spills onwards.
    {"DecimalComma", "0,5\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"NumberWithLettersAfterIt", "0.5x 0.4\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"CommaInsideThePair", "0.7\n0.4,0.9 1\n3 4\n", 0.7, HELD_F, HELD_Z, 3.0, 4.0},
    {"CommaBetweenThePair", "0.7\n0.4, 0.9\n3 ,4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"LoneCommaBetweenThePair", "0.7\n0.4 , 0.9\n3 4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"FullWidthForms", "０．７\n０．４　０．９\n－３ ＋４\n", 0.7, 0.4, 0.9, -3.0, 4.0},
};

INSTANTIATE_TEST_SUITE_P(Dialog, HostileInput, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostileInputSign, NegativeZeroKeepsItsSign)
{
    run_dialog('m', "-0\n0 0\n0 0\n");
    EXPECT_TRUE(std::signbit(epsilon));
}

}  // namespace
