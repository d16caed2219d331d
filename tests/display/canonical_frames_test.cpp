// Canonical frames against their stored images (tests/display/golden/), taken from the
// straightforward drawing (lighting switched around every shape, one glBegin per line) before
// the primitives held state changes back. Mesa 22.3's llvmpipe drew them and draws the same
// pixels on every run: there a frame is its image exactly. A failing frame is written into the
// build folder.
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/dialog.h"
#include "app/keyboard.h"
#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/primitives.h"
#include "tests/support/gl_window.h"

namespace {

constexpr const char* DEFAULT_INPUT = "0.1\n0.5 1\n0 0\n";

struct CanonicalFrame {
    const char* name;
    void (*prepare)();   // everything before the frame that is checked
    const char* options; // the same scene from the command line (for a few: each runs the program)
};

void default_view()
{
    start_program(DEFAULT_INPUT);
}

void epsilon_family()
{
    start_program(DEFAULT_INPUT);
    apply_view_key('e');
}

void force_family()
{
    start_program(DEFAULT_INPUT);
    apply_view_key('E');
}

void three_crossings()
{
    start_program("0.5\n0.2 1\n0 0\n");
}

void right_after_y()
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 40; ++i)
        draw_next_frame();
    apply_view_key('y');
}

void after_fourteen_t()
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 13; ++i) {
        apply_view_key('t');
        draw_next_frame();
    }
    apply_view_key('t');
}

void wrap_frame()
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 200; ++i)
        draw_next_frame();
}

// Both layers over the three crossings, once the motion has nearly locked.
void layers()
{
    start_program("0.5\n0.2 1\n0 0\n");
    stability_shown = true;
    measured_shown = true;
    for (int i = 0; i < 400; ++i)
        draw_next_frame();
}

// The phase plane with both attractors of eps = F = 5, z = 1.42 (the second start from (1, 0)),
// the three classes of the balance's ellipses, and F9's orbit sought at the frame checked, once
// the motion has settled: from a transient, the motion's last bits (the page's sine is not
// the desktop's) may lead Newton's method to another orbit.
void phase_plane()
{
    start_program("5\n5 1.42\n0 0\n");
    second_start_given = true;
    second_init[0] = 1.0;
    second_init[1] = 0.0;
    restart_run();
    phase_shown = true;
    advance_frames(2000);   // drawing changes nothing: the frames need not be drawn
    orbit_shown = true;
}

// A sweep at eps = F = 5 on its way down, 90,640 frames in: the way up locked to 1.445, then
// period 3 (the jump), the way down still period 3; F4's state line names the last ratio.
void sweep()
{
    start_program("5\n5 1.38\n0 0\n");
    measured_shown = true;
    start_sweep(1.38, 1.48, SWEEP_DEFAULT_STEP);
    advance_frames(90000);
}

const CanonicalFrame FRAMES[] = {
    {"default_view", default_view, "--eps 0.1 --force 0.5 --z 1"},
    {"epsilon_family", epsilon_family, nullptr},
    {"force_family", force_family, "--eps 0.1 --force 0.5 --z 1 --family E"},
    {"three_crossings", three_crossings, nullptr},
    {"right_after_y", right_after_y, nullptr},
    {"after_fourteen_t", after_fourteen_t, nullptr},
    {"wrap_frame", wrap_frame, "--eps 0.1 --force 0.5 --z 1 --frames 200"},
    {"layers", layers, "--eps 0.5 --force 0.2 --z 1 --frames 400 --stability --measured"},
    {"phase_plane", phase_plane, "--eps 5 --force 5 --z 1.42 --frames 2000 --phase --orbit --second-start 1,0"},
    {"sweep", sweep, "--eps 5 --force 5 --sweep 1.38:1.48 --frames 90000 --measured"},
};

// Another renderer (another Mesa build) may place a few pixels of steep lines differently:
// there a frame within this many pixels of its image passes, and the test says so.
constexpr int PIXELS_ALLOWED = 300;
constexpr const char* GOLDEN_RENDERER = "llvmpipe";
constexpr const char* GOLDEN_MESA = "Mesa 22.3.";

bool golden_renderer()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return renderer != nullptr && version != nullptr && std::strstr(renderer, GOLDEN_RENDERER) &&
           std::strstr(version, GOLDEN_MESA);
}

std::string golden_path(const CanonicalFrame& frame)
{
    return std::string(VDP_TEST_SOURCE_DIR) + "/display/golden/" + frame.name + ".png";
}

class CanonicalFrames : public ::testing::TestWithParam<int> {};

TEST_P(CanonicalFrames, MatchStoredFrame)
{
    const CanonicalFrame& frame = FRAMES[GetParam()];
    frame.prepare();
    draw_next_frame();
    const Image im = read_back();
    const bool exact = golden_renderer();
    // VDP_WRITE_GOLDEN=1 stores the images anew, for a deliberate change of the picture.
    if (exact && std::getenv("VDP_WRITE_GOLDEN") != nullptr) {
        ASSERT_EQ(save_png(im, golden_path(frame)), "");
    }
    Image golden;
    ASSERT_TRUE(load_png(golden_path(frame), &golden)) << "no stored frame " << golden_path(frame);
    const FrameDifference d = compare_frames(im, golden);
    const std::string report = std::to_string(d.pixels) + " pixels differ; colour counts " +
                               "red " + std::to_string(d.red) + ", green " + std::to_string(d.green) +
                               ", blue " + std::to_string(d.blue) + ", black " + std::to_string(d.black) +
                               ", text " + std::to_string(d.text);
    if (d.within(exact ? 0 : PIXELS_ALLOWED)) {
        if (d.pixels > 0)
            std::printf("%s: another renderer, within tolerance: %s\n", frame.name, report.c_str());
        return;
    }
    ADD_FAILURE() << frame.name << (exact ? "" : " (another renderer)") << ": " << report
                  << "; frame written to " << dump_image(im, std::string("canonical-") + frame.name);
}

INSTANTIATE_TEST_SUITE_P(Frames, CanonicalFrames,
                         ::testing::Range(0, static_cast<int>(std::size(FRAMES))),
                         [](const auto& info) { return std::string(FRAMES[info.param].name); });

// The program's --snapshot of the same scene writes exactly the frame drawn here.
class Snapshots : public ::testing::TestWithParam<int> {};

TEST_P(Snapshots, FromTheCommandLineTheSameFrameAsDrawnHere)
{
    const CanonicalFrame& frame = FRAMES[GetParam()];
    frame.prepare();
    draw_next_frame();
    const Image drawn = read_back();
    Image written;
    ASSERT_TRUE(program_snapshot(VDP_PROGRAM, frame.options, &written));
    EXPECT_EQ(compare_frames(written, drawn).pixels, 0) << frame.options;
}

std::vector<int> scenes_without_keys()
{
    std::vector<int> scenes;
    for (int i = 0; i < static_cast<int>(std::size(FRAMES)); ++i)
        if (FRAMES[i].options != nullptr)
            scenes.push_back(i);
    return scenes;
}

INSTANTIATE_TEST_SUITE_P(Frames, Snapshots, ::testing::ValuesIn(scenes_without_keys()),
                         [](const auto& info) { return std::string(FRAMES[info.param].name); });

}  // namespace
