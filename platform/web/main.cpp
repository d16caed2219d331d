// Program entry in the page: the address's parameters and the page's language, then the
// console dialog in the page's console panel (or the values given, or a lesson's step), then the
// picture on the canvas, as the desktop opens its window after the dialog.
#include "app/lessons.h"
#include "app/options.h"
#include "app/run.h"
#include "platform/web/page.h"

int main()
{
    Options options = page_options();
    open_asked_lesson(&options);
    apply_start_options(options);
    show_page_texts();
    if (!open_page())
        return 1;
    run_page(options);
}
