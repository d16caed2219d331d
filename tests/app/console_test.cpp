// Console encoding and number reading under different locales.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/console.h"
#include "app/dialog.h"
#include "app/lessons.h"
#include "app/texts.h"
#include "core/state.h"
#include "tests/support/dialog_io.h"

namespace {

bool locale_installed(const char* name)
{
    locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    freelocale(l);
    return true;
}

// Runs body in a freshly started copy of this test binary (the console's codeset is fixed
// once per process) with LC_ALL set to locale; expects the body to return true there.
template <typename Body>
void expect_in_child_with_locale(const char* locale, Body body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("LC_ALL", locale, 1);
    EXPECT_EXIT(std::exit(body() ? 0 : 1), ::testing::ExitedWithCode(0), "") << "in " << locale;
    unsetenv("LC_ALL");
}

TEST(ConsoleEncode, JapaneseLegacyCodesetsAreConverted)
{
    // U+3000 ideographic space, U+03B5 epsilon, U+FF0C fullwidth comma.
    const char* text = "\xE3\x80\x80\xCE\xB5\xEF\xBC\x8C=";
    EXPECT_EQ(console_encode(text, "SHIFT_JIS"), "\x81\x40\x83\xC3\x81\x43=");
    EXPECT_EQ(console_encode(text, "CP932"), "\x81\x40\x83\xC3\x81\x43=");
    EXPECT_EQ(console_encode(text, "EUC-JP"), "\xA1\xA1\xA6\xC5\xA1\xA4=");
}

// --lesson ID prints every text of a lesson: a Shift_JIS or EUC-JP console must get them all
// (a character beyond JIS X 0208 would leave the whole text in UTF-8).
TEST(ConsoleEncode, EveryLessonReachesALegacyConsole)
{
    for (const Lesson& lesson : LESSONS) {
        const std::string text = lesson_steps_text(lesson, Language::japanese);
        for (const char* codeset : {"SHIFT_JIS", "CP932", "EUC-JP"})
            EXPECT_NE(console_encode(text.c_str(), codeset), text) << "lesson " << lesson.id << " in " << codeset;
    }
}

TEST(ConsoleEncode, OtherCodesetsGetUtf8Unchanged)
{
    const char* text = "\xE3\x80\x80\xCE\xB5 ok";
    EXPECT_EQ(console_encode(text, "UTF-8"), text);
    EXPECT_EQ(console_encode(text, "ANSI_X3.4-1968"), text);  // the C locale
    EXPECT_EQ(console_encode(text, "ISO-8859-1"), text);      // cannot hold Japanese
}

TEST(ConsoleLocale, EucJpLocaleSelectsEucJpOutput)
{
    if (!locale_installed("ja_JP.EUC-JP")) GTEST_SKIP() << "locale ja_JP.EUC-JP not generated";
    expect_in_child_with_locale("ja_JP.EUC-JP", [] {
        return console_encode("\xE3\x80\x80", console_codeset()) == "\xA1\xA1";
    });
}

TEST(ConsoleLocale, DecimalCommaLocaleStillReadsDecimalPoints)
{
    if (!locale_installed("de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 not generated";
    // The locale does write decimal commas: adopting all of it would break "0.5".
    expect_in_child_with_locale("de_DE.UTF-8", [] {
        std::setlocale(LC_ALL, "");
        double v = 0.0;
        return std::sscanf("0.5", "%lf", &v) == 1 && v == 0.0;
    });
    expect_in_child_with_locale("de_DE.UTF-8", [] {
        console_codeset();
        char path[] = "/tmp/vdp_console_XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0 || write(fd, "0.5\n", 4) != 4) return false;
        close(fd);
        if (std::freopen(path, "r", stdin) == nullptr) return false;
        unlink(path);
        double v = 0.0;
        const bool read = console_read_number(&v) == ConsoleRead::taken;
        char written[8];
        std::snprintf(written, sizeof written, "%.1f", 0.5);   // and numbers written with a point
        return read && v == 0.5 && std::string(written) == "0.5";
    });
}

// "０．５　－１" as a Japanese input method types it, in each legacy console encoding.
TEST(ConsoleLocale, FullWidthNumbersReadInLegacyEncodings)
{
    for (const auto& [locale, typed] :
         {std::pair{"ja_JP.SJIS", "\x82\x4F\x81\x44\x82\x54\x81\x40\x81\x7C\x82\x50\n"},
          std::pair{"ja_JP.EUC-JP", "\xA3\xB0\xA1\xA5\xA3\xB5\xA1\xA1\xA1\xDD\xA3\xB1\n"}}) {
        if (!locale_installed(locale)) GTEST_SKIP() << "locale " << locale << " not generated";
        expect_in_child_with_locale(locale, [typed = typed] {
            run_dialog('j', typed);
            return y_init == 0.5 && v_init == -1.0;
        });
    }
}

// An endless line (standard input from /dev/zero) ends the dialog's input with a note, the
// values kept; it used to be read for ever.
TEST(ConsoleRead, AnEndlessLineEndsTheInputInsteadOfHanging)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            alarm(20);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            console_language = Language::english;
            if (std::freopen("/dev/zero", "rb", stdin) == nullptr)
                std::exit(2);
            epsilon = 0.25;
            command_key = 'm';
            input_parameters();
            std::exit(epsilon == 0.25 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Input line too long \\(4194304 bytes at most\\)");
}

}  // namespace
