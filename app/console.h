#pragma once
// The console: texts out in the terminal's encoding, numbers in as whole words.
#include <initializer_list>
#include <string>
#include <string_view>

// Writes text (UTF-8 in the source) to standard output in the console's encoding and flushes
// it, so that it is visible before the next read waits.
void console_write(const char* text);
// errno of the first console_write that failed (a full disk, a closed pipe); 0 while none has.
extern int console_write_error;

// Set for the batch options: standard output carries their picture or data, so every console
// text goes to standard error instead.
extern bool console_on_stderr;

// console_write of text with its "%s" places filled, in order, with args.
void console_write_with(const char* text, std::initializer_list<std::string_view> args);
// The same with one value.
void console_write_with(const char* text, const char* arg);

// What became of one value asked for at the console.
enum class ConsoleRead {
    taken,        // a number was read into it
    unreadable,   // something was typed that is not wholly a finite number: the value is kept
    ended         // nothing was read (end of input, or left unread): the value is kept
};

// Reads one number: the next blank-separated token (line ends and the ideographic space are
// blanks; full-width digits, signs and points read as ASCII) when it is wholly a finite
// number, with a decimal point whatever the locale, and not one so small that it would be held
// as zero. An unreadable token keeps *value and drops the rest of its line, so one typo does
// not spill into the next prompts.
ConsoleRead console_read_number(double* value);

// Reads text as console_read_number reads one answer: true, with *value set, when the whole
// text is one such number (no blank anywhere in it); false otherwise, *value untouched.
bool console_parse_number(const char* text, double* value);

// How the two numbers of a pair fared.
struct ConsolePairRead {
    ConsoleRead first;
    ConsoleRead second;
};

// Reads two numbers as console_read_number does; one comma between them separates them like a
// blank ("0.5, 1"). When the first is unreadable its line is dropped and the second is left
// unread (ended).
ConsolePairRead console_read_pair(double* first, double* second);

// Forgets an end of input met earlier, so that a terminal on which Ctrl-D was typed is asked
// again; a file or a closed pipe just ends again at the next read.
void console_forget_end_of_input();

// Text converted from UTF-8 to codeset where codeset is a Japanese encoding other than UTF-8
// (Shift_JIS / CP932, EUC-JP); text unchanged otherwise or where the conversion fails. A build
// without VDP_LEGACY_ENCODINGS (the page) converts nothing.
std::string console_encode(const char* text, const char* codeset);

// The codeset in which console_write writes and console input is read: the character type of
// the environment (LC_CTYPE only; numbers keep the decimal point whatever the locale).
const char* console_codeset();
