// Program entry: the console dialog first, then the window.
#include <cstdio>

#include "app/dialog.h"
#include "app/state.h"

int main()
{
    command_key = 'm';
    input_parameters();
    std::printf("\nThe window is not built yet.\n");
    return 0;
}
