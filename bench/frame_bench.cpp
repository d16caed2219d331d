// One whole frame as a key press shows it: integration, drawing, swap, and glFinish so that
// the software renderer's threads have finished too. Default view and each family. Needs an
// X display: run under xvfb-run. Also the default view with both layers of F3 and F4, and the
// phase plane (F6) in place of the traces, its trail full and its points in.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/dialog.h"
#include "app/run.h"
#include "app/show_frame.h"
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
// the phase plane, after 300 frames (its trail of four periods full).
void BM_Frame(benchmark::State& s, int view)
{
    family_view = view == 'L' || view == 'P' ? 0 : view;
    stability_shown = view == 'L';
    measured_shown = view == 'L';
    phase_shown = view == 'P';
    if (view == 'P')
        advance_frames(300);
    for (auto _ : s) {
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
                 {"phase", 'P'}};
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
