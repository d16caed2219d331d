// One whole frame as a key press shows it: integration, drawing, swap, and glFinish so that
// the software renderer's threads have finished too. Default view and each family. Needs an
// X display: run under xvfb-run. Also the default view with both layers of F3 and F4, the
// phase plane (F6) in place of the traces, its trail full and its points in, and a sweep's
// layer: a finished sweep's trail and strip (161 ratios over 0.8 ... 1.2) with F4's state line,
// and a frame drawn while a sweep runs (SWEEP_DRAW_STRIDE frames advanced).
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/dialog.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "app/sweep.h"
#include "core/state.h"
#include "platform/desktop/window.h"
#include "display/primitives.h"

namespace {

// The dialog with epsilon 0.1, F 0.5, z 1, y0 = v0 = 0; its console text is discarded.
void answer_dialog()
{
    std::FILE* input = std::tmpfile();
    std::fputs("0.1\n0.5 1\n0 0\n", input);
    std::rewind(input);
    std::FILE* saved_stdin = stdin;
    std::FILE* saved_stdout = stdout;
    std::FILE* discard = std::fopen("/dev/null", "w");
    stdin = input;
    stdout = discard;
    command_key = 'm';
    input_parameters();
    stdin = saved_stdin;
    stdout = saved_stdout;
    std::fclose(discard);
    std::fclose(input);
}

// view: 0, 'e' or 'E' as the keys set family_view; 'L' the default view with both layers; 'P'
// the phase plane, after 300 frames (its trail of four periods full); 'S' a finished sweep's
// layer with F4, 'R' a sweep running with F4.
void BM_Frame(benchmark::State& s, int view)
{
    family_view = view == 'e' || view == 'E' ? view : 0;
    stability_shown = view == 'L';
    measured_shown = view == 'L' || view == 'S' || view == 'R';
    phase_shown = view == 'P';
    forget_sweep();
    if (view == 'P')
        advance_frames(300);
    const bool sweep = view == 'S' || view == 'R';
    if (sweep)
        start_sweep(0.8, 1.2, SWEEP_DEFAULT_STEP);
    if (view == 'S')
        run_sweep();
    for (auto _ : s) {
        if (view == 'R' && !sweep_running)
            start_sweep(0.8, 1.2, SWEEP_DEFAULT_STEP);
        show_frame();
        glFinish();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("GALLIUM_DRIVER", "llvmpipe", 1);
    answer_dialog();
    int glut_argc = 1;
    glutInitWindowSize(800, 800);
    glutInit(&glut_argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    create_window();
    set_clear_color();
    on_reshape(800, 800);

    const struct {
        const char* name;
        int view;
    } views[] = {{"default", 0}, {"epsilon_family", 'e'}, {"force_family", 'E'}, {"layers", 'L'},
                 {"phase", 'P'}, {"sweep", 'S'}, {"sweep_running", 'R'}};
    for (const auto& v : views)
        benchmark::RegisterBenchmark((std::string("BM_Frame/") + v.name).c_str(), BM_Frame, v.view)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    glFinish();
    glutExit();
}
