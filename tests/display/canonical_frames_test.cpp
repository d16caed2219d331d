// Canonical frames, checked bit for bit against stored pixel hashes, drawn once with the
// plain state changes and once with state tracking. The hashes were taken from the plain
// drawing (every frame of the way drawn plainly) before state tracking existed; llvmpipe (Mesa 22.3) draws the same pixels on every
// run. On a mismatch the frame is written into the build folder.
#include <cinttypes>
#include <cstdio>

#include "app/keyboard.h"
#include "display/frame.h"
#include "display/primitives.h"
#include "tests/support/gl_window.h"

namespace {

constexpr const char* DEFAULT_INPUT = "0.1\n0.5 1\n0 0\n";

struct CanonicalFrame {
    const char* name;
    void (*prepare)();   // everything before the frame that is checked
    std::uint64_t hash;
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
        draw_frame();
    apply_view_key('y');
}

void after_fourteen_t()
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 13; ++i) {
        apply_view_key('t');
        draw_frame();
    }
    apply_view_key('t');
}

void wrap_frame()
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 200; ++i)
        draw_frame();
}

const CanonicalFrame FRAMES[] = {
    {"default_view", default_view, 0x2bc0d40ea432a196},
    {"epsilon_family", epsilon_family, 0x5fc62c3b30511528},
    {"force_family", force_family, 0x9d498d448623f80e},
    {"three_crossings", three_crossings, 0xda3cb326c77d394a},
    {"right_after_y", right_after_y, 0x7ff59eec4b11558a},
    {"after_fourteen_t", after_fourteen_t, 0xf1e51ff22b5efaf1},
    {"wrap_frame", wrap_frame, 0xe38f9566ddb5a612},
};

class CanonicalFrames : public ::testing::TestWithParam<int> {};

TEST_P(CanonicalFrames, MatchStoredHash)
{
    const CanonicalFrame& frame = FRAMES[GetParam()];
    frame.prepare();
    draw_frame();
    const Image im = read_back();
    const std::uint64_t hash = hash_image(im);
    if (hash != frame.hash) {
        const std::string name = std::string("canonical-") + frame.name;
        ADD_FAILURE() << frame.name << ": hash 0x" << std::hex << hash << ", stored 0x"
                      << frame.hash << "; frame written to " << dump_image(im, name);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, CanonicalFrames,
                         ::testing::Range(0, static_cast<int>(std::size(FRAMES))),
                         [](const auto& info) { return std::string(FRAMES[info.param].name); });

}  // namespace
