// Checks before anything else: standard descriptors, the requested window size, the display.
#include "platform/desktop/startup_checks.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "app/console.h"
#include "platform/desktop/output_file.h"
#include "app/texts.h"
#include "display/frame.h"
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

constexpr long MAX_OFFSET = 1000000;   // pixels from a screen edge; far beyond any screen

// A run of decimal digits at *at, at most limit; *at moves past it. False when there is no
// digit or the number passes limit.
bool read_digits(const char** at, long limit, long* value)
{
    const char* p = *at;
    long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > limit)
            return false;
    }
    if (p == *at)
        return false;
    *at = p;
    *value = v;
    return true;
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// What a -geometry value asks of the window, read with the grammar of XParseGeometry,
// [=][WIDTH][xHEIGHT][{+-}X{+-}Y], except that a side must be a whole number from 1 to
// MAX_WINDOW_SIDE and an offset stay within MAX_OFFSET (X would take signs in a side and
// wrap numbers past 2^32). A side not given stays -1.
enum class GeometryRead { taken, too_large, unreadable };

GeometryRead read_geometry(const char* text, long* width, long* height, std::string* position)
{
    constexpr long SIDE_LIMIT = 1000000000;   // read that far to tell "too large" from junk
    const char* p = text + (*text == '=' ? 1 : 0);
    const char* start = p;
    if (is_digit(*p) && !read_digits(&p, SIDE_LIMIT, width))
        return GeometryRead::too_large;
    if (*p == 'x' || *p == 'X') {
        ++p;
        if (!is_digit(*p))
            return GeometryRead::unreadable;
        if (!read_digits(&p, SIDE_LIMIT, height))
            return GeometryRead::too_large;
    }
    const char* offsets = p;
    for (int axis = 0; axis < 2 && *offsets != '\0'; ++axis) {
        long offset = 0;
        if (*p != '+' && *p != '-')
            return GeometryRead::unreadable;
        ++p;
        if (!read_digits(&p, MAX_OFFSET, &offset))
            return GeometryRead::unreadable;
    }
    if (*p != '\0' || p == start || *width == 0 || *height == 0)
        return GeometryRead::unreadable;
    if (*width > MAX_WINDOW_SIDE || *height > MAX_WINDOW_SIDE)
        return GeometryRead::too_large;
    *position = offsets;
    return GeometryRead::taken;
}

// Every -geometry value is checked; the last, which GLUT takes, is handed to it whole (both
// sides and the position), so that GLUT never fills a side it was not given.
void check_geometry(int argc, char** argv)
{
    static std::string whole;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-geometry") != 0)
            continue;
        const char* geometry = argv[++i];
        long width = -1, height = -1;
        std::string position;
        const GeometryRead read = read_geometry(geometry, &width, &height, &position);
        if (read == GeometryRead::taken) {
            whole = std::to_string(width < 0 ? DEFAULT_WINDOW_SIDE : width) + "x" +
                    std::to_string(height < 0 ? DEFAULT_WINDOW_SIDE : height) + position;
            argv[i] = whole.data();
            continue;
        }
        console_write_with(text(read == GeometryRead::too_large ? WINDOW_TOO_LARGE
                                                                : WINDOW_GEOMETRY_UNREADABLE),
                           {geometry, std::to_string(MAX_WINDOW_SIDE)});
        std::exit(1);
    }
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

constexpr std::size_t RENDERER_MARGIN = 48u << 20;   // bytes kept aside by the trial

// The renderer tried in a child process as the window will use it, without showing anything:
// a context on a pbuffer of the window's default size, a first frame drawn and finished. 0
// when it works; else the child's wait status. Mesa's software renderer under too small an
// address space crashes inside context creation or its first drawing, which no check in this
// process could survive.
int try_renderer(int argc, char** argv, const char* display_name)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return 0;   // no trial possible: the window will tell
    if (child != 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    }
    // The child says nothing: what became of it is the parent's to tell.
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    // The window's buffers and everything the run holds by its first frame come on top: the
    // trial leaves that much of the address space aside.
    if (mmap(nullptr, RENDERER_MARGIN, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
             -1, 0) == MAP_FAILED)
        _exit(4);
    glutInit(&argc, argv);   // the labels' bitmap fonts
    Display* display = XOpenDisplay(display_name);
    if (display == nullptr)
        _exit(2);
    const int attributes[] = {GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT,
                              GLX_DOUBLEBUFFER, True, GLX_DEPTH_SIZE, 1, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr || count == 0)
        _exit(0);   // no pbuffer to try on: left to the window
    const GLXContext context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
    const int size[] = {GLX_PBUFFER_WIDTH, DEFAULT_WINDOW_SIDE, GLX_PBUFFER_HEIGHT,
                        DEFAULT_WINDOW_SIDE, None};
    const GLXPbuffer pbuffer = glXCreatePbuffer(display, configs[0], size);
    if (context == nullptr || !glXMakeContextCurrent(display, pbuffer, pbuffer, context))
        _exit(3);
    glViewport(0, 0, DEFAULT_WINDOW_SIDE, DEFAULT_WINDOW_SIDE);
    draw_frame();
    glFinish();
    _exit(0);
}

// Under a limit on the address space (ulimit -v), which the renderer's libraries and threads
// can exceed: one malloc arena for all threads, not one of 64 MB reserved per thread (which
// alone took the software renderer past 400000 KB), and the renderer tried before the dialog.
void check_renderer_fits(int argc, char** argv)
{
    struct rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return;
    mallopt(M_ARENA_MAX, 1);
    const int status = try_renderer(argc, argv, option_value(argc, argv, "-display"));
    if (status == 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        return;
    const std::string what =
        WIFSIGNALED(status) ? std::string("the renderer crashed: ") + strsignal(WTERMSIG(status))
                            : "the renderer failed";
    console_write_with(text(GL_CANNOT_START),
                       {what, std::to_string(limit.rlim_cur / 1024)});
    std::exit(1);
}

}  // namespace

void open_missing_standard_streams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        // What goes to standard output must not vanish into the stand-in unnoticed.
        if (fd == STDOUT_FILENO)
            standard_output_closed = true;
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
    check_geometry(argc, argv);
    require_display(argc, argv);
    check_renderer_fits(argc, argv);
}
