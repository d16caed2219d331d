// Threads for the locking map's job, and the window's side of F8.
#include "platform/desktop/map_threads.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "app/locking_map.h"
#include "app/map_view.h"
#include "core/state.h"
#include "display/frame.h"
#include "dynamics/locking_map.h"

namespace {

constexpr unsigned MAP_MOST_THREADS = 16;
constexpr unsigned MAP_WATCH_MS = 100;   // the window looks at the job this often

std::vector<std::thread> threads;
std::chrono::steady_clock::time_point begun;   // when the job's threads started
int rows_drawn = -1;                           // rows done when the map was last drawn
bool watching = false;                         // the window's timer is armed

// A thread of the job: its engine's lanes are its own.
void run_share()
{
    auto engine = std::make_unique<MapEngine>();
    compute_map_share(engine.get());
}

// The window's look at the job: the rows finished drawn, and once it ends, the threads joined
// and the console told.
void watch_map(int /*value*/)
{
    watching = false;
    const bool ended = map_finished() || map_stopped.load();
    const int rows = map_rows_done.load();
    if (map_shown && rows != rows_drawn) {
        rows_drawn = rows;
        on_display();
    }
    if (!ended) {
        watching = true;
        glutTimerFunc(MAP_WATCH_MS, watch_map, 0);
        return;
    }
    join_map_threads();
    if (map_finished())
        tell_map_finished(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count());
}

}  // namespace

void start_map_threads()
{
    join_map_threads();
    static bool joined_at_exit = false;
    if (!joined_at_exit) {
        // Threads left running when the process exits would end it with std::terminate.
        std::atexit([] {
            map_stopped.store(true);
            join_map_threads();
        });
        joined_at_exit = true;
    }
    begun = std::chrono::steady_clock::now();
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, MAP_MOST_THREADS);
    for (unsigned i = 0; i < cores; ++i)
        threads.emplace_back(run_share);
}

void join_map_threads()
{
    for (std::thread& t : threads)
        t.join();
    threads.clear();
}

void toggle_map_in_window()
{
    if (toggle_map_view()) {
        start_map_threads();
        rows_drawn = -1;
    }
    if (!threads.empty() && !watching) {
        watching = true;
        glutTimerFunc(MAP_WATCH_MS, watch_map, 0);
    }
}

void on_map_click(int button, int state, int x, int y)
{
    if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN || !map_shown)
        return;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    if (width <= 0 || height <= 0)
        return;
    // Pixel centres to scene units: the scene spans -1 ... 1 on both axes, y upward.
    pick_map_cell(2.0 * (x + 0.5) / width - 1.0, 1.0 - 2.0 * (y + 0.5) / height);
}
