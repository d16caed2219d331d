#pragma once
// The console: Japanese texts out in the terminal's encoding, numbers in with "%lf".
#include <string>

// Writes text (UTF-8 in the source) to standard output in the console's encoding and flushes
// it, so that it is visible before the next read waits.
void console_write(const char* text);

// console_write of text with its one "%s" replaced by arg.
void console_write_with(const char* text, const char* arg);

// Reads one number with "%lf" into *value. Text that does not read as a number, and a
// non-finite number, leave *value as it was and discard the rest of that input line, so one
// typo does not fail every later prompt. Returns whether *value was set.
bool console_read_number(double* value);

// Reads two numbers as "%lf %lf" does: the second is read only when the first was taken.
void console_read_pair(double* first, double* second);

// Text converted from UTF-8 to codeset where codeset is a Japanese encoding other than UTF-8
// (Shift_JIS / CP932, EUC-JP); text unchanged otherwise or where the conversion fails. A build
// without VDP_LEGACY_ENCODINGS (the page) converts nothing.
std::string console_encode(const char* text, const char* codeset);

// The codeset in which console_write writes: the character type of the environment
// (LC_CTYPE only; numbers keep the decimal point whatever the locale).
const char* console_codeset();
