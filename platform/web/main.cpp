// Program entry in the page: the address's parameters and the page's language, then the
// console dialog in the page's console panel (or the values given), then the picture on the
// canvas, as the desktop opens its window after the dialog.
#include "app/options.h"
#include "app/run.h"
#include "platform/web/page.h"

int main()
{
    const Options options = page_options();
    apply_start_options(options);
    show_page_texts();
    if (!open_page())
        return 1;
    begin_run(options);
    start_page(runs_from_start(options));
}
