// The program's own texts, for the page's tests to hold the console panel against: run under
// node, it prints the window title, or runs the dialog from each entry point in turn, with
// standard input as typed, and prints what the dialogs wrote.
// Usage: program_texts title | program_texts dialog KEY... < typed-lines
#include <cstdio>
#include <cstring>

#include "app/dialog.h"
#include "app/texts.h"
#include "core/state.h"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "title") == 0) {
        std::fputs(WINDOW_TITLE, stdout);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "dialog") == 0) {
        for (int i = 2; i < argc; ++i) {
            command_key = argv[i][0];
            input_parameters();
        }
        return 0;
    }
    std::fprintf(stderr, "usage: program_texts title | program_texts dialog KEY... < input\n");
    return 2;
}
