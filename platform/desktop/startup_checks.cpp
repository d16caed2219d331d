// Checks before anything else: standard descriptors, the requested window size, the display.
#include "platform/desktop/startup_checks.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "app/console.h"
#include "app/texts.h"
#include "platform/desktop/window.h"

namespace {

// This program's own connection to the display, held for the whole run: while the program
// has a client on the server, GLUT's connection cannot meet a server reset.
Display* held_display = nullptr;

// The value of the last `option VALUE` pair in argv, as GLUT takes it; null when there is none.
const char* option_value(int argc, char** argv, const char* option)
{
    const char* value = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            value = argv[++i];
    return value;
}

void refuse_oversized_geometry(int argc, char** argv)
{
    const char* geometry = option_value(argc, argv, "-geometry");
    if (geometry == nullptr)
        return;
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
    const int given = XParseGeometry(geometry, &x, &y, &width, &height);
    const bool too_wide = (given & WidthValue) != 0 && width > MAX_WINDOW_SIDE;
    const bool too_high = (given & HeightValue) != 0 && height > MAX_WINDOW_SIDE;
    if (!too_wide && !too_high)
        return;
    console_write_with(text(WINDOW_TOO_LARGE), {geometry, std::to_string(MAX_WINDOW_SIDE)});
    std::exit(1);
}

void require_display(int argc, char** argv)
{
    const char* name = option_value(argc, argv, "-display");
    const char* shown = name != nullptr ? name : std::getenv("DISPLAY");
    if (shown == nullptr)
        shown = "";
    // An X server whose last client has just left resets and refuses connections for a
    // moment: a named display is tried again for up to half a second.
    const int attempts = shown[0] != '\0' ? 10 : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        held_display = XOpenDisplay(name);
        if (held_display != nullptr)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    console_write_with(text(NO_DISPLAY), {shown, argv[0]});
    std::exit(1);
}

}  // namespace

void open_missing_standard_streams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        // The lowest free descriptor is fd itself: those below it are open by now.
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

void check_window_can_open(int argc, char** argv)
{
    refuse_oversized_geometry(argc, argv);
    require_display(argc, argv);
}
