// Program entry: the console dialog first, then the window.
#include "app/dialog.h"
#include "core/state.h"
#include "platform/desktop/window.h"

int main(int argc, char** argv)
{
    command_key = 'm';
    input_parameters();
    start_graphics(&argc, argv);
}
