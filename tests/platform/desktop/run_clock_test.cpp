// F5 on the desktop runs on the Run clock: each tick asks GLUT for the time since the window
// system started and waits until the next point of the grid that began at F5, so that a late
// tick shortens the next wait. The clock and the timers are GLUT's, replaced here (the link
// wraps glutGet and glutTimerFunc) by a clock the test sets and a list of the waits asked for.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/state.h"
#include "platform/desktop/function_keys.h"
#include "tests/support/gl_window.h"

namespace {

int clock_ms = 0;   // what GLUT_ELAPSED_TIME answers

struct Wait {
    unsigned int ms;
    void (*tick)(int);
    int value;
};
std::vector<Wait> waits;

}  // namespace

extern "C" int __real_glutGet(GLenum what);
extern "C" int __wrap_glutGet(GLenum what)
{
    return what == GLUT_ELAPSED_TIME ? clock_ms : __real_glutGet(what);
}
extern "C" void __wrap_glutTimerFunc(unsigned int ms, void (*tick)(int), int value)
{
    waits.push_back({ms, tick, value});
}

namespace {

TEST(RunClock, F5TicksKeepTheirGridOnGlutsClock)
{
    start_program("0.1\n0.5 1\n0 0\n");
    motion_running = false;
    waits.clear();
    clock_ms = 1000;
    on_special_key(GLUT_KEY_F5, 0, 0);   // F5; the grid: 1033, 1066, 1099, ...
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].ms, 33u);
    // Each tick fires when the test says, draws one frame and asks for the wait to the next
    // point of the grid; one more than an interval late moves the grid to now.
    const struct {
        int fired_at;
        unsigned int next_wait;
    } ticks[] = {{1045, 21}, {1070, 29}, {1200, 0}, {1210, 23}};
    for (const auto& t : ticks) {
        const int index = trace_index;
        clock_ms = t.fired_at;
        const Wait w = waits.back();
        w.tick(w.value);
        EXPECT_EQ(trace_index, index + 1) << "at " << t.fired_at;
        ASSERT_EQ(waits.size(), static_cast<std::size_t>(&t - ticks + 2));
        EXPECT_EQ(waits.back().ms, t.next_wait) << "at " << t.fired_at;
    }
    // Paused: the pending tick draws nothing and asks for no further wait.
    on_special_key(GLUT_KEY_F5, 0, 0);
    const int index = trace_index;
    const std::size_t asked = waits.size();
    waits.back().tick(waits.back().value);
    EXPECT_EQ(trace_index, index);
    EXPECT_EQ(waits.size(), asked);
}

}  // namespace
