// Console text and number input. Only LC_CTYPE is taken from the environment: adopting
// LC_NUMERIC would make "0.5" unreadable where the locale writes decimal commas.
#include "app/console.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <string_view>
#include <strings.h>
#if VDP_LEGACY_ENCODINGS
#include <iconv.h>
#endif

#include "app/texts.h"

namespace {

// How the console encodes Japanese text. Anything that is neither Shift_JIS nor EUC-JP is read
// and written as UTF-8 (an ASCII-only terminal sends no other bytes).
enum class Codeset { utf8, shift_jis, euc_jp };

Codeset classify(const char* codeset)
{
    static const char* const shift_jis[] = {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932",
                                            "WINDOWS-31J", "MS_KANJI"};
    static const char* const euc_jp[] = {"EUC-JP", "EUCJP", "EUC-JP-MS", "UJIS"};
    for (const char* name : shift_jis)
        if (strcasecmp(codeset, name) == 0)
            return Codeset::shift_jis;
    for (const char* name : euc_jp)
        if (strcasecmp(codeset, name) == 0)
            return Codeset::euc_jp;
    return Codeset::utf8;
}

Codeset input_codeset()
{
    static const Codeset set = classify(console_codeset());
    return set;
}

// The full-width forms that a Japanese input method types in a number, and the ideographic
// space, with the ASCII character each stands for; bytes in UTF-8, Shift_JIS and EUC-JP.
struct WideForm {
    char ascii;
    const char* bytes[3];
};
constexpr WideForm WIDE_FORMS[] = {
    {' ', {"\xE3\x80\x80", "\x81\x40", "\xA1\xA1"}},
    {'+', {"\xEF\xBC\x8B", "\x81\x7B", "\xA1\xDC"}},
    {'-', {"\xEF\xBC\x8D", "\x81\x7C", "\xA1\xDD"}},   // full-width hyphen-minus
    {'-', {"\xE2\x88\x92", "\x81\x7C", "\xA1\xDD"}},   // minus sign
    {'.', {"\xEF\xBC\x8E", "\x81\x44", "\xA1\xA5"}},
    {',', {"\xEF\xBC\x8C", "\x81\x43", "\xA1\xA4"}},
};
// Full-width zero; the digits one to nine follow it in its last byte.
constexpr const char* WIDE_ZERO[3] = {"\xEF\xBC\x90", "\x82\x4F", "\xA3\xB0"};

// Stands for any character that is neither a blank nor part of a number.
constexpr int OTHER_CHARACTER = 0x80;

int sequence_length(int lead, Codeset set)
{
    switch (set) {
    case Codeset::shift_jis:
        return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
    case Codeset::euc_jp:
        if (lead == 0x8F)
            return 3;
        return lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE) ? 2 : 1;
    case Codeset::utf8:
        break;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
}

bool is_trail_byte(int c, Codeset set)
{
    switch (set) {
    case Codeset::shift_jis: return c >= 0x40 && c <= 0xFC && c != 0x7F;
    case Codeset::euc_jp: return c >= 0xA1 && c <= 0xFE;
    case Codeset::utf8: break;
    }
    return c >= 0x80 && c <= 0xBF;
}

int ascii_form(std::string_view ch, Codeset set)
{
    const int column = static_cast<int>(set);
    const std::string_view zero = WIDE_ZERO[column];
    if (ch.size() == zero.size() && ch.substr(0, ch.size() - 1) == zero.substr(0, zero.size() - 1)) {
        const int digit = static_cast<unsigned char>(ch.back()) - static_cast<unsigned char>(zero.back());
        if (digit >= 0 && digit <= 9)
            return '0' + digit;
    }
    for (const WideForm& form : WIDE_FORMS)
        if (ch == form.bytes[column])
            return form.ascii;
    return OTHER_CHARACTER;
}

// Bytes of one input line read at most (4 MiB, far past any pasted line): an endless line
// (< /dev/zero) must neither hang the dialog nor fill memory. Past it the input counts as
// ended until the next dialog.
constexpr long LINE_LIMIT = 1L << 22;
long line_bytes = 0;       // read of the current line so far
bool line_cut = false;     // the limit was met: reads end until the input is forgotten

int read_byte()
{
    if (line_cut)
        return EOF;
    const int c = std::getchar();
    if (c == '\n') {
        line_bytes = 0;
        return c;
    }
    if (c == EOF || ++line_bytes <= LINE_LIMIT)
        return c;
    line_cut = true;
    console_write_with(text(INPUT_LINE_TOO_LONG), std::to_string(LINE_LIMIT).c_str());
    return EOF;
}

// The next character of standard input, all bytes of a multibyte one read: ASCII as it is,
// the forms above as their ASCII characters, anything else as OTHER_CHARACTER. EOF at the end.
int next_char()
{
    const int lead = read_byte();
    if (lead == EOF || lead < 0x80)
        return lead;
    const Codeset set = input_codeset();
    const int length = sequence_length(lead, set);
    char ch[4] = {static_cast<char>(lead)};
    int n = 1;
    while (n < length) {
        const int c = read_byte();
        if (c == EOF)
            break;
        if (!is_trail_byte(c, set)) {   // a broken sequence: the byte starts the next character
            std::ungetc(c, stdin);
            --line_bytes;
            break;
        }
        ch[n++] = static_cast<char>(c);
    }
    return n == length ? ascii_form(std::string_view(ch, n), set) : OTHER_CHARACTER;
}

// The characters of text as next_char gives those of standard input.
std::string ascii_forms(std::string_view text)
{
    const Codeset set = input_codeset();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const int lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(sequence_length(lead, set));
        std::size_t n = 1;
        while (n < length && i + n < text.size() &&
               is_trail_byte(static_cast<unsigned char>(text[i + n]), set))
            ++n;
        out.push_back(static_cast<char>(n == length ? ascii_form(text.substr(i, n), set)
                                                    : OTHER_CHARACTER));
        i += n;
    }
    return out;
}

bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr std::size_t TOKEN_LIMIT = 256;   // far longer than any number typed by hand

// One blank-separated word of the input, in ASCII forms.
struct Token {
    std::string text;          // its first TOKEN_LIMIT characters
    bool too_long = false;
    bool ended_line = false;   // ended by a line end or the end of input: nothing left to drop
};

// Skips blanks, line ends included, then reads up to the next blank. False at the end of the
// input before any word.
bool read_token(Token* token)
{
    int c;
    do
        c = next_char();
    while (is_blank(c));
    if (c == EOF)
        return false;
    *token = Token{};
    for (; c != EOF && !is_blank(c); c = next_char()) {
        if (token->text.size() < TOKEN_LIMIT)
            token->text.push_back(static_cast<char>(c));
        else
            token->too_long = true;
    }
    token->ended_line = c == '\n' || c == EOF;
    return true;
}

void discard_line()
{
    int c;
    do
        c = read_byte();
    while (c != '\n' && c != EOF);
}

// ASCII text into *value when it is wholly a decimal number that a double holds: not infinite, not
// NaN, and not so small that it would be held as zero (a subnormal value is held).
bool read_whole_number(const std::string& ascii, double* value)
{
    // strtod also reads hexadecimal (0x10, 0x1p3); a number here has a decimal point.
    if (ascii.find_first_of("xX") != std::string::npos)
        return false;
    const char* text = ascii.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    const bool underflowed = errno == ERANGE && v == 0.0;
    if (end != text + ascii.size() || end == text || !std::isfinite(v) || underflowed)
        return false;
    *value = v;
    return true;
}

// The token into *value when it is wholly a finite number; otherwise *value is kept and the
// rest of the token's line dropped.
ConsoleRead take(const Token& token, double* value)
{
    if (!token.too_long && read_whole_number(token.text, value))
        return ConsoleRead::taken;
    if (!token.ended_line)
        discard_line();
    return ConsoleRead::unreadable;
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
    if (classify(codeset) == Codeset::utf8)
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

bool console_on_stderr = false;

int console_write_error = 0;

void console_write(const char* text)
{
    const std::string encoded = console_encode(text, console_codeset());
    std::FILE* out = console_on_stderr ? stderr : stdout;
    errno = 0;
    const bool written = std::fwrite(encoded.data(), 1, encoded.size(), out) == encoded.size();
    if ((std::fflush(out) != 0 || !written) && console_write_error == 0)
        console_write_error = errno != 0 ? errno : EIO;
}

void console_write_with(const char* text, std::initializer_list<std::string_view> args)
{
    console_write(fill_text(text, args).c_str());
}

void console_write_with(const char* text, const char* arg)
{
    console_write_with(text, {std::string_view(arg)});
}

bool console_parse_number(const char* text, double* value)
{
    const std::string ascii = ascii_forms(text);
    for (const char c : ascii)
        if (is_blank(static_cast<unsigned char>(c)))
            return false;
    return read_whole_number(ascii, value);
}

ConsoleRead console_read_number(double* value)
{
    Token token;
    if (!read_token(&token))
        return ConsoleRead::ended;
    return take(token, value);
}

ConsolePairRead console_read_pair(double* first, double* second)
{
    Token token;
    if (!read_token(&token))
        return {ConsoleRead::ended, ConsoleRead::ended};
    // One comma may stand between the two: at the end of the first word, at the start of the
    // second, or alone. A comma inside a word ("0,5") keeps the word unreadable.
    const bool comma_after_first = token.text.size() > 1 && token.text.back() == ',';
    if (comma_after_first)
        token.text.pop_back();
    const ConsoleRead a = take(token, first);
    if (a != ConsoleRead::taken || !read_token(&token))
        return {a, ConsoleRead::ended};
    if (!comma_after_first && token.text[0] == ',') {
        token.text.erase(0, 1);
        if (token.text.empty() && !token.too_long && !read_token(&token))
            return {a, ConsoleRead::ended};
    }
    return {a, take(token, second)};
}

void console_forget_end_of_input()
{
    std::clearerr(stdin);
    line_cut = false;
    line_bytes = 0;
}
