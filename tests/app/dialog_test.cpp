// The console dialog driven through its real standard input and output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/console.h"
#include "app/dialog.h"
#include "core/state.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"
#include "tests/support/dialog_io.h"

namespace {

const std::string BANNER =
    "\n１自由度自励振動系(Van der Pol's equation)の強制振動の描画"
    "\n正規化式　ddy/ddt - ε(1-y^y)*dy/dt + *y = F*sin(z*t)\n"
    "\nキー入力　(1) ε"
    "\n        　(2) ζ，z"
    "\n        　(3) 初期条件"
    "\n\n(1) 負の減衰比ε，キー入力 ε=";
const std::string FORCE_PROMPT =
    "\n     z=1の付近で，外力振動数の振動が生じる（引き込み現象）"
    "\n     z=1を離れると，周期的な振動は見られない"
    "\n(2) 外力振幅F, 外力振動数比z　入力　F z=";
const std::string INITIAL_PROMPT = "\n(3) 初期条件入力  y0 v0 = ";
const std::string KEY_HELP =
    "\n振動曲線描画表示　赤：応答　緑：外力\n"
    "\n's'キーで 　：振動描画継続             'Y' 'y'キーで：周波数特性の縦倍率増減"
    "\n'm'キーで   ：負減衰比ε変更           'T' 't'キーで：振動曲線y(t)の時間軸伸縮"
    "\n'f'キーで　 ：外力 F,z 変更            'E' 'e'キーで：F or ε可変のf特性表示"
    "\n'j'キーで   ：初期条件 y0,v0 変更"
    "\nESCキーで   ：終了\n";

bool same_curve(const ResponsePoint* a, const ResponsePoint* b)
{
    return std::memcmp(a, b, sizeof(ResponsePoint) * CURVE_CAPACITY) == 0;
}

// Everything a dialog run puts back: the run and the whole view.
struct RunAndView {
    double y, v, t, first_response, first_force;
    int index;
    Vec2 picture_left, curve_origin, trace_origin;
    double amp_scale, z_scale, trace_dx, trace_scale0, trace_scale1;
    int trace_len, trace_count, mass_count;
};

RunAndView run_and_view()
{
    return {state[0], state[1], sim_time, trace_response[0], trace_force[0], trace_index,
            picture_left, curve_origin, trace_origin, amp_scale, z_scale, trace_dx,
            trace_scales[0], trace_scales[1], trace_len, trace_count, mass_count};
}

bool operator==(const Vec2& a, const Vec2& b)
{
    return a.x == b.x && a.y == b.y;
}

bool operator==(const RunAndView& a, const RunAndView& b)
{
    return a.y == b.y && a.v == b.v && a.t == b.t && a.first_response == b.first_response &&
           a.first_force == b.first_force && a.index == b.index &&
           a.picture_left == b.picture_left && a.curve_origin == b.curve_origin &&
           a.trace_origin == b.trace_origin && a.amp_scale == b.amp_scale &&
           a.z_scale == b.z_scale && a.trace_dx == b.trace_dx &&
           a.trace_scale0 == b.trace_scale0 && a.trace_scale1 == b.trace_scale1 &&
           a.trace_len == b.trace_len && a.trace_count == b.trace_count &&
           a.mass_count == b.mass_count;
}

// The run and view of the very first dialog of a process (every variable still zero) that was
// given y0, v0: what any later run must put back, whatever the keys and frames changed.
RunAndView first_run_and_view(const char* initial_state)
{
    const RunAndView zero = {};
    state[0] = state[1] = sim_time = trace_response[0] = trace_force[0] = 0.0;
    trace_index = 0;
    picture_left = curve_origin = trace_origin = zero.picture_left;
    amp_scale = z_scale = trace_dx = trace_scales[0] = trace_scales[1] = 0.0;
    trace_len = trace_count = mass_count = 0;
    run_dialog('j', initial_state);
    return run_and_view();
}

void expect_view_and_run_reset(const char* initial_state)
{
    const RunAndView now = run_and_view();
    EXPECT_TRUE(now == first_run_and_view(initial_state));
}

// Disturbs everything a run resets, as keys and frames would.
void disturb_view()
{
    state[0] = 9.0;
    state[1] = 9.0;
    sim_time = 42.0;
    trace_index = 77;
    trace_response[0] = 5.0;
    trace_force[0] = 5.0;
    amp_scale = 3.0;
    z_scale = 3.0;
    trace_dx = 0.0021;
    trace_len = 476;
    trace_scales[0] = trace_scales[1] = 3.0;
    family_view = 'E';
}

TEST(Dialog, FullRunWritesEveryTextAndComputesEveryCurve)
{
    disturb_view();
    const std::string out = run_dialog('m', "0.1\n0.5 1\n0 0\n");
    EXPECT_EQ(out, console_text(BANNER + FORCE_PROMPT + INITIAL_PROMPT + KEY_HELP));
    EXPECT_EQ(epsilon, 0.1);
    EXPECT_EQ(force_amp, 0.5);
    EXPECT_EQ(freq_ratio, 1.0);
    EXPECT_EQ(amp_step, 0.005);
    EXPECT_EQ(amp_steps, 800);
    EXPECT_EQ(main_fold_count, 1);
    ASSERT_EQ(crossing_count, 1);
    EXPECT_NEAR(crossings[0], 3.201191, 1e-6);
    EXPECT_EQ(family_size, 10);
    EXPECT_EQ(unstable_level, 1.41421356);
    expect_view_and_run_reset("0 0");
    EXPECT_EQ(family_view, 'E');  // a chosen family stays chosen

    // The families: each member with its own epsilon (typed F), or its own F (typed epsilon).
    static ResponsePoint expected[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    int count = 0;
    for (int k = 0; k < 10; ++k) {
        epsilon = EPSILON_FAMILY[k];
        force_amp = 0.5;
        compute_amplitude_curve(0.005, 800, expected, &count, folds);
        EXPECT_TRUE(same_curve(expected, eps_curves[k])) << "epsilon member " << k;
        epsilon = 0.1;
        force_amp = FORCE_FAMILY[k];
        compute_amplitude_curve(0.005, 800, expected, &count, folds);
        EXPECT_TRUE(same_curve(expected, force_curves[k])) << "force member " << k;
        EXPECT_EQ(family_fold_counts[k], count) << "shared counts hold the F family's";
    }
}

TEST(Dialog, ForceEntryKeepsEpsilonAndRecomputes)
{
    run_dialog('m', "0.5\n0.2 1\n0 0\n");
    disturb_view();
    const std::string out = run_dialog('f', "0.3 0.9\n1.5 -0.5\n");
    EXPECT_EQ(out, console_text(FORCE_PROMPT + INITIAL_PROMPT + KEY_HELP));
    EXPECT_EQ(epsilon, 0.5);
    EXPECT_EQ(force_amp, 0.3);
    EXPECT_EQ(freq_ratio, 0.9);
    expect_view_and_run_reset("1.5 -0.5");

    static ResponsePoint expected[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    int count = 0;
    epsilon = 0.5;
    force_amp = 0.3;
    compute_amplitude_curve(0.005, 800, expected, &count, folds);
    EXPECT_TRUE(same_curve(expected, main_curve));
    epsilon = EPSILON_FAMILY[4];  // the epsilon family uses the new F
    compute_amplitude_curve(0.005, 800, expected, &count, folds);
    EXPECT_TRUE(same_curve(expected, eps_curves[4]));
    epsilon = 0.5;  // the F family uses the epsilon of the earlier run
    force_amp = FORCE_FAMILY[7];
    compute_amplitude_curve(0.005, 800, expected, &count, folds);
    EXPECT_TRUE(same_curve(expected, force_curves[7]));
}

TEST(Dialog, InitialStateEntryLeavesCurvesAlone)
{
    run_dialog('m', "0.5\n0.2 1\n0 0\n");
    main_curve[5].z_high = 123.0;  // any recomputation would overwrite these
    eps_curves[3][5].z_high = 123.0;
    force_curves[3][5].z_high = 123.0;
    crossings[0] = 7.0;
    disturb_view();
    const std::string out = run_dialog('j', "0.25 0.75\n");
    EXPECT_EQ(out, console_text(INITIAL_PROMPT + KEY_HELP));
    EXPECT_EQ(main_curve[5].z_high, 123.0);
    EXPECT_EQ(eps_curves[3][5].z_high, 123.0);
    EXPECT_EQ(force_curves[3][5].z_high, 123.0);
    EXPECT_EQ(crossings[0], 7.0);
    EXPECT_EQ(crossing_count, 3);
    EXPECT_EQ(epsilon, 0.5);
    EXPECT_EQ(force_amp, 0.2);
    EXPECT_EQ(freq_ratio, 1.0);
    expect_view_and_run_reset("0.25 0.75");
}

TEST(Dialog, AnyOtherKeyRunsTheWholeDialog)
{
    const std::string out = run_dialog('s', "0.2\n0.1 1\n0 0\n");
    EXPECT_EQ(out.substr(0, console_text(BANNER).size()), console_text(BANNER));
    EXPECT_EQ(epsilon, 0.2);
}

TEST(Dialog, EachUnreadableAnswerSaysWhichValuesWereKept)
{
    run_dialog('m', "0.3\n0.6 1.2\n0.1 0.2\n");
    const std::string out = run_dialog('m', "0,5\nx 1\n1 ?\n");
    const std::string kept = "\n数値として読めない入力のため，";
    EXPECT_EQ(out, console_text(BANNER + kept + "ε=0.3 のままです" + FORCE_PROMPT + kept +
                                "F=0.6, z=1.2 のままです" + INITIAL_PROMPT + kept +
                                "v0=0.2 のままです" + KEY_HELP));
}

TEST(Dialog, EndOfInputStillRecomputesAndResets)
{
    run_dialog('m', "0.5\n0.2 1\n0.5 0.5\n");
    main_curve[5].z_high = 123.0;
    disturb_view();
    const std::string out = run_dialog('m', "");
    EXPECT_EQ(out, console_text(BANNER + FORCE_PROMPT + INITIAL_PROMPT + KEY_HELP));
    EXPECT_EQ(epsilon, 0.5);
    EXPECT_NE(main_curve[5].z_high, 123.0);
    EXPECT_EQ(crossing_count, 3);
    expect_view_and_run_reset("0.5 0.5");
}

#ifndef __EMSCRIPTEN__   // these need fork() and a terminal, which the wasm build has not
// Reads fd into seen until text, as the console writes it, appears at or after `from`; returns
// where it ends there, or npos when the output ended first.
std::size_t read_until(int fd, std::string& seen, const std::string& text, std::size_t from = 0)
{
    const std::string want = console_text(text);
    char buf[4096];
    std::size_t at;
    while ((at = seen.find(want, from)) == std::string::npos) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return std::string::npos;
        seen.append(buf, static_cast<std::size_t>(n));
    }
    return at + want.size();
}

TEST(Dialog, EveryTextIsOnTheConsoleBeforeTheNextReadWaits)
{
    // Through a pipe, with a child answering only after it has seen each prompt.
    int to_child[2], from_child[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(from_child), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(to_child[0], STDIN_FILENO);
        dup2(from_child[1], STDOUT_FILENO);
        close(to_child[1]);
        close(from_child[0]);
        std::freopen(nullptr, "r", stdin);
        command_key = 'm';
        input_parameters();
        _exit(epsilon == 0.1 && freq_ratio == 1.0 && v_init == 3.0 ? 0 : 2);
    }
    close(to_child[0]);
    close(from_child[1]);
    std::string seen;
    auto wait_for = [&](const std::string& t) { return read_until(from_child[0], seen, t) != std::string::npos; };
    ASSERT_TRUE(wait_for("ε="));
    ASSERT_EQ(write(to_child[1], "0.1\n", 4), 4);
    ASSERT_TRUE(wait_for("F z="));
    ASSERT_EQ(write(to_child[1], "0.5 1\n", 6), 6);
    ASSERT_TRUE(wait_for("y0 v0 = "));
    ASSERT_EQ(write(to_child[1], "0 3\n", 4), 4);
    ASSERT_TRUE(wait_for("終了\n"));
    close(to_child[1]);
    close(from_child[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// At a terminal the end of input is not final: a Ctrl-D ends the dialog it is typed in, and
// the next dialog reads the terminal again.
TEST(Dialog, CtrlDAtATerminalEndsOneDialogOnly)
{
    std::fflush(stdout);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        command_key = 'j';
        input_parameters();
        input_parameters();
        _exit(y_init == 3.0 && v_init == 4.0 ? 0 : 2);
    }
    std::string seen;
    const std::size_t first = read_until(terminal, seen, "y0 v0 = ");
    ASSERT_EQ(write(terminal, "\x04", 1), 1);
    ASSERT_NE(read_until(terminal, seen, "y0 v0 = ", first), std::string::npos);
    ASSERT_EQ(write(terminal, "3 4\n", 4), 4);
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the terminal showed:\n" << seen;
}
#endif

}  // namespace
