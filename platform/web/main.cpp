// Program entry in the page: the console dialog in the page's console panel first, then the
// picture on the canvas, as the desktop opens its window after the dialog.
#include "app/dialog.h"
#include "core/state.h"
#include "platform/web/page.h"

int main()
{
    if (!open_page())
        return 1;
    command_key = 'm';
    input_parameters();
    start_page();
}
