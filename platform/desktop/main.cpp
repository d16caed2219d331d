// Program entry: the console dialog first, then the window.
#include "app/dialog.h"
#include "core/state.h"
#include "platform/desktop/startup_checks.h"
#include "platform/desktop/window.h"

int main(int argc, char** argv)
{
    open_missing_standard_streams();
    refuse_oversized_geometry(argc, argv);
    require_display(argc, argv);
    command_key = 'm';
    input_parameters();
    start_graphics(&argc, argv);
}
