// Console text and number input. Only LC_CTYPE is taken from the environment: adopting
// LC_NUMERIC would make "0.5" unreadable where the locale writes decimal commas.
#include "app/console.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <strings.h>
#if VDP_LEGACY_ENCODINGS
#include <iconv.h>
#endif

namespace {

// Japanese encodings other than UTF-8 that a locale may name; the texts are converted to them.
bool is_japanese_legacy(const char* codeset)
{
    static const char* const names[] = {"SHIFT_JIS", "SHIFT-JIS", "SJIS",   "CP932",
                                        "WINDOWS-31J", "MS_KANJI", "EUC-JP", "EUCJP",
                                        "EUC-JP-MS", "UJIS"};
    for (const char* name : names)
        if (strcasecmp(codeset, name) == 0)
            return true;
    return false;
}

void discard_line()
{
    int c;
    do
        c = std::getchar();
    while (c != '\n' && c != EOF);
}

}  // namespace

const char* console_codeset()
{
    // Copied once: nl_langinfo's buffer belongs to the C library.
    static const std::string codeset = [] {
        std::setlocale(LC_CTYPE, "");
        return std::string(nl_langinfo(CODESET));
    }();
    return codeset.c_str();
}

std::string console_encode(const char* text, const char* codeset)
{
    if (!is_japanese_legacy(codeset))
        return text;
#if !VDP_LEGACY_ENCODINGS
    return text;
#else
    iconv_t cd = iconv_open(codeset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string in(text);
    std::string out(in.size() * 2 + 4, '\0');
    char* src = in.data();
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const std::size_t done = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1))
        return text;
    out.resize(out.size() - dst_left);
    return out;
#endif
}

void console_write(const char* text)
{
    const std::string encoded = console_encode(text, console_codeset());
    std::fwrite(encoded.data(), 1, encoded.size(), stdout);
    std::fflush(stdout);
}

void console_write_with(const char* text, const char* arg)
{
    std::string filled = text;
    const std::size_t at = filled.find("%s");
    if (at != std::string::npos)
        filled.replace(at, 2, arg);
    console_write(filled.c_str());
}

bool console_read_number(double* value)
{
    double v = 0.0;
    const int got = std::scanf("%lf", &v);
    if (got == EOF)
        return false;
    if (got == 1 && std::isfinite(v)) {
        *value = v;
        return true;
    }
    discard_line();
    return false;
}

void console_read_pair(double* first, double* second)
{
    if (console_read_number(first))
        console_read_number(second);
}
