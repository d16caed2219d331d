// The program's own texts, for the page's tests to hold the console panel against: run under
// node, it prints the window title, or runs the dialog from an entry point with standard input
// as typed and prints what the dialog wrote.
// Usage: program_texts title | program_texts dialog m|f|j < typed-lines
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
    if (argc == 3 && std::strcmp(argv[1], "dialog") == 0 && std::strlen(argv[2]) == 1) {
        command_key = argv[2][0];
        input_parameters();
        return 0;
    }
    std::fprintf(stderr, "usage: program_texts title | program_texts dialog KEY < input\n");
    return 2;
}
