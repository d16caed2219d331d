// Whatever a student types at the dialog: each row starts from known values, feeds the dialog
// one input at one entry point, and states what every variable holds afterwards, bit for bit
// (so -0 is not +0).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/state.h"
#include "response/crossings.h"
#include "tests/support/dialog_io.h"

namespace {

constexpr double HELD_EPS = 0.3, HELD_F = 0.6, HELD_Z = 1.2, HELD_Y0 = 0.1, HELD_V0 = 0.2;

struct HostileCase {
    const char* name;
    char entry;                    // the key that opened the dialog
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

::testing::AssertionResult SameBits(const char* name, double got, double want)
{
    if (std::memcmp(&got, &want, sizeof got) == 0)   // the same bits; the wasm C++ library has no bit_cast
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << " is " << got << ", expected " << want;
}

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, VariablesHoldWhatWasReadableAndTheDialogGoesOn)
{
    run_dialog('m', "0.3\n0.6 1.2\n0.1 0.2\n");
    trace_dx = 0.001;
    const HostileCase& c = GetParam();
    const std::string out = run_dialog(c.entry, c.input);
    EXPECT_TRUE(SameBits("epsilon", epsilon, c.eps));
    EXPECT_TRUE(SameBits("force_amp", force_amp, c.force));
    EXPECT_TRUE(SameBits("freq_ratio", freq_ratio, c.z));
    EXPECT_TRUE(SameBits("y_init", y_init, c.y0));
    EXPECT_TRUE(SameBits("v_init", v_init, c.v0));
    // It ran to the end: the key help is out, the view is reset, and the crossings belong to
    // the values held.
    const std::string last = console_text("\nESCキーで   ：終了\n");
    ASSERT_GE(out.size(), last.size());
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
    EXPECT_EQ(trace_len, 200);
    EXPECT_TRUE(SameBits("state[0]", state[0], c.y0));
    double again[CROSSING_CAPACITY];
    EXPECT_EQ(crossing_count, find_crossings(freq_ratio, again));
}

const HostileCase CASES[] = {
    {"EndOfInputAtFirstPrompt", 'm', "", HELD_EPS, HELD_F, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputAtSecondPrompt", 'm', "0.7\n", 0.7, HELD_F, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputInsideAPair", 'm', "0.7\n0.4", 0.7, 0.4, HELD_Z, HELD_Y0, HELD_V0},
    {"EndOfInputAtThirdPrompt", 'm', "0.7\n0.4 0.9\n", 0.7, 0.4, 0.9, HELD_Y0, HELD_V0},
    {"Letters", 'm', "abc def\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"LettersForTheSecondOfAPair", 'm', "0.7\n0.4 zz\n3 4\n", 0.7, 0.4, HELD_Z, 3.0, 4.0},
    // A failed first number of a pair leaves both: the second is not read from that line.
    {"LettersForTheFirstOfAPair", 'f', "x 3\n4 5\n", HELD_EPS, HELD_F, HELD_Z, 4.0, 5.0},
    {"LettersAtTheInitialState", 'j', "6 ?\n", HELD_EPS, HELD_F, HELD_Z, 6.0, HELD_V0},
    {"NotANumber", 'm', "nan\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"Infinity", 'm', "0.7\ninf 5\n-inf 4\n", 0.7, HELD_F, HELD_Z, HELD_Y0, HELD_V0},
    {"OverflowingExponent", 'm', "1e999\n0.4 -1e999\n3 4\n", HELD_EPS, 0.4, HELD_Z, 3.0, 4.0},
    // Finite, though the square of 1e200 overflows in the curves: accepted.
    {"ExtremeButFinite", 'm', "1e200\n8 1e-320\n-1e300 2\n", 1e200, 8.0, 1e-320, -1e300, 2.0},
    // strtod's hexadecimal forms are no numbers with a decimal point.
    {"Hexadecimal", 'm', "0x10\n0x1p3 1\n3 0X2\n", HELD_EPS, HELD_F, HELD_Z, 3.0, HELD_V0},
    {"NegativeZero", 'm', "-0\n-0 0\n-0 -0\n", -0.0, -0.0, 0.0, -0.0, -0.0},
    {"MegabyteOfLetters", 'm', big_line('x', 1 << 20) + "0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"MegabyteOfDigits", 'm', big_line('9', 1 << 20) + "0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"MegabyteOfBlanksBeforeANumber", 'm', std::string(1 << 20, ' ') + "0.7\n0.4 0.9\n3 4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"NulBytes", 'm', with_nuls(), HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"CrLfLineEnds", 'm', "0.7\r\n0.4 0.9\r\n3 4\r\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"TwoNumbersOnOneLine", 'm', "0.7 0.4\n0.9 3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"PairOnTwoLines", 'm', "0.7\n0.4\n0.9\n3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"ThreeNumbersAtAPairPrompt", 'm', "0.7\n0.4 0.9 3\n4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"BlanksOfEveryKind", 'm', "  0.7\n\n0.4\n\t1.1\n-1 \n 2\n", 0.7, 0.4, 1.1, -1.0, 2.0},
    // A word that is not wholly a number is unreadable as a whole: nothing spills onwards.
    {"DecimalComma", 'm', "0,5\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"NumberWithLettersAfterIt", 'm', "0.5x 0.4\n0.4 0.9\n3 4\n", HELD_EPS, 0.4, 0.9, 3.0, 4.0},
    {"CommaInsideThePair", 'm', "0.7\n0.4,0.9 1\n3 4\n", 0.7, HELD_F, HELD_Z, 3.0, 4.0},
    {"CommaBetweenThePair", 'm', "0.7\n0.4, 0.9\n3 ,4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"LoneCommaBetweenThePair", 'm', "0.7\n0.4 , 0.9\n3 4\n", 0.7, 0.4, 0.9, 3.0, 4.0},
    {"FullWidthForms", 'm', "０．７\n０．４　０．９\n－３ ＋４\n", 0.7, 0.4, 0.9, -3.0, 4.0},
};

INSTANTIATE_TEST_SUITE_P(Dialog, HostileInput, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
