// Program entry: the command line, then the console dialog (or the values given), then the
// window; or, for the batch options, pictures and data out without a dialog.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/controls.h"
#include "app/dialog.h"
#include "app/export.h"
#include "app/locking_map.h"
#include "app/lessons.h"
#include "app/options.h"
#include "app/run.h"
#include "app/sound.h"
#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "platform/desktop/data_files.h"
#include "platform/desktop/map_threads.h"
#include "platform/desktop/output_file.h"
#include "platform/desktop/picture_file.h"
#include "platform/desktop/startup_checks.h"
#include "platform/desktop/window.h"

#include <GL/freeglut.h>

namespace {

constexpr int STATUS_FAILED = 1;   // a file could not be written
constexpr int STATUS_USAGE = 2;    // a bad option or value

int usage_error(const std::string& message)
{
    std::fprintf(stderr, "forced-vdp: %s\n%s\nTry 'forced-vdp --help' for more information.\n",
                 message.c_str(), USAGE);
    return STATUS_USAGE;
}

int write_error(const std::string& path, const std::string& reason)
{
    std::fprintf(stderr, "forced-vdp: cannot write %s: %s\n",
                 path == "-" ? "standard output" : path.c_str(), reason.c_str());
    return STATUS_FAILED;
}

// Standard output flushed and closed, every failure on the way counted: a full disk or a
// closed pipe must not end in status 0, nor text written for a standard output that was
// closed at the start (wrote).
char standard_output_buffer[1 << 20];   // more than --help or a lesson prints

int finish_standard_output(int status, bool wrote = false)
{
    if (wrote && standard_output_closed)
        return write_error("-", std::strerror(EBADF));
    const bool failed_before = std::ferror(stdout) != 0;
    errno = 0;
    if (std::fclose(stdout) != 0 || failed_before) {
        if (status != 0)
            return status;
        const int cause = errno != 0 ? errno : console_write_error;
        return write_error("-", std::strerror(cause != 0 ? cause : EIO));
    }
    return status;
}

// The file an output option (a row of kind output) names in options; empty: none asked for.
const std::string& output_path(const Options& options, const Control& control)
{
    return options.*std::get<std::string Options::*>(control.target);
}

// The outputs asked for, by option name; two of them landing in one place would destroy one
// another.
std::string clashing_outputs(const Options& options)
{
    std::vector<const Control*> given;
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::output && !output_path(options, control).empty())
            given.push_back(&control);
    for (std::size_t i = 0; i < given.size(); ++i)
        for (std::size_t j = i + 1; j < given.size(); ++j) {
            const std::string& a = output_path(options, *given[i]);
            const std::string& b = output_path(options, *given[j]);
            if (same_output(a.c_str(), b.c_str()))
                return std::string("--") + given[i]->name + " and --" + given[j]->name +
                       " cannot both write to '" + b + "'";
        }
    return {};
}

// Whether a picture or data file is asked for: then no dialog runs and no window waits.
bool batch(const Options& options)
{
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::output && !output_path(options, control).empty())
            return true;
    return false;
}

// The options of the sound that make sense only with it, and its length.
std::string audio_options_error(const Options& options)
{
    if (options.export_audio.empty() && (options.seconds || options.audio_force))
        return std::string(options.seconds ? "--seconds" : "--audio-force") +
               " goes with --export-audio";
    if (!options.seconds || (*options.seconds >= 0.0 && *options.seconds <= MAX_AUDIO_SECONDS))
        return {};
    char given[32];
    std::snprintf(given, sizeof given, "%g", *options.seconds);
    return "invalid value '" + std::string(given) + "' for --seconds: 0 ... " +
           std::to_string(MAX_AUDIO_SECONDS) + " seconds are needed";
}

// The sound's samples: --seconds, else the frames of --frames, else AUDIO_DEFAULT_SECONDS.
long audio_samples(const Options& options)
{
    if (options.seconds)
        return audio_samples_for_seconds(*options.seconds);
    if (options.frames)
        return audio_samples_for_frames(*options.frames);
    return audio_samples_for_seconds(AUDIO_DEFAULT_SECONDS);
}

// The window of the batch pictures, opened once: never waited on, its pictures written from
// the back buffer, the pixels the window would show first.
void open_batch_window(std::vector<char*>& window_args)
{
    static bool open = false;
    if (open)
        return;
    int argc = static_cast<int>(window_args.size()) - 1;
    open_window(&argc, window_args.data());
    on_reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    open = true;
}

// The frame after the frames asked for (with a sweep and no frames, the frame after the sweep).
// Only that frame is a frame shown: the orbit F9 asks for is sought there, as the window seeks it.
int write_snapshot(const Options& options, std::vector<char*>& window_args)
{
    start_asked_sweep(options);
    advance_motion_frames(options.frames.value_or(0));
    while (!options.frames && sweep_running)
        advance_motion_frames(1);
    advance_frames(frames_per_drawn_frame());
    open_batch_window(window_args);
    draw_frame();
    const std::string error = save_window_picture(options.snapshot.c_str());
    return error.empty() ? 0 : write_error(options.snapshot, error);
}

// The locking map: its CSV streamed as it is computed, its picture once it is whole. Without
// --y0 and --v0 every cell starts from MAP_DEFAULT_Y0, MAP_DEFAULT_V0.
int write_map_outputs(const Options& options, std::vector<char*>& window_args)
{
    MapRun run = current_map_run();
    if (!options.y0 && !options.v0) {
        run.y0 = MAP_DEFAULT_Y0;
        run.v0 = MAP_DEFAULT_V0;
    }
    const bool picture = !options.map_snapshot.empty();
    if (!options.locking_map.empty()) {
        const std::string error = write_map_file(options.locking_map.c_str(), run, picture);
        if (!error.empty())
            return write_error(options.locking_map, error);
    } else if (picture) {
        begin_map_job(run, true, false);
        start_map_threads();
        join_map_threads();
    }
    if (!picture)
        return 0;
    open_batch_window(window_args);
    map_shown = true;
    draw_frame();
    map_shown = false;
    const std::string error = save_window_picture(options.map_snapshot.c_str());
    return error.empty() ? 0 : write_error(options.map_snapshot, error);
}

// Pictures and data out without a dialog and without console text.
int run_batch(const Options& options, std::vector<char*>& window_args)
{
    set_parameters_from(options);
    compute_response_curves();
    restart_run();
    if (!options.export_curves.empty()) {
        const std::string error = write_table_file(options.export_curves.c_str(), curves_csv());
        if (!error.empty())
            return write_error(options.export_curves, error);
    }
    // The motion's files, each of a run from its start.
    const struct {
        const std::string& path;
        long frames;   // without --frames
        std::string (*write)(const char*, long);
    } runs[] = {{options.export_motion, MOTION_FRAMES, write_motion_file},
                {options.export_strobe, STROBE_FRAMES, write_strobe_file}};
    for (const auto& run : runs) {
        if (run.path.empty())
            continue;
        const std::string error = run.write(run.path.c_str(), options.frames.value_or(run.frames));
        if (!error.empty())
            return write_error(run.path, error);
        restart_run();
    }
    if (!options.export_sweep.empty()) {
        start_asked_sweep(options);
        run_sweep();
        const std::string error = write_table_file(options.export_sweep.c_str(), sweep_csv());
        if (!error.empty())
            return write_error(options.export_sweep, error);
        restart_run();
    }
    if (!options.export_audio.empty()) {
        const std::string error = write_audio_file(options.export_audio.c_str(),
                                                   audio_samples(options), options.audio_force);
        if (!error.empty())
            return write_error(options.export_audio, error);
    }
    if (!options.snapshot.empty()) {
        const int status = write_snapshot(options, window_args);
        if (status != 0)
            return status;
    }
    return write_map_outputs(options, window_args);
}

// --lesson list and --lesson ID: the lessons, or one's steps, on the console; no window.
int print_lessons(const Options& options)
{
    const Language language = chosen_language(options);
    const Lesson* lesson = lesson_named(options.lesson);
    const std::string text = lesson != nullptr ? lesson_steps_text(*lesson, language)
                                               : lesson_list_text(language);
    console_write(text.c_str());
    return finish_standard_output(0, true);
}

}  // namespace

int main(int argc, char** argv)
{
    open_missing_standard_streams();
    Options options;
    const std::string error = parse_options(argc, argv, &options, WINDOW_OPTIONS);
    if (!error.empty())
        return usage_error(error);
    // The texts printed whole stay in one buffer until the close, whose failure then names
    // its own cause (a write that failed on the way leaves errno to whatever came after it).
    if (options.help || options.version || (!options.lesson.empty() && !options.lesson_step))
        std::setvbuf(stdout, standard_output_buffer, _IOFBF, sizeof standard_output_buffer);
    if (options.help) {
        std::fputs(help_text().c_str(), stdout);
        return finish_standard_output(0, true);
    }
    if (options.version) {
        std::printf("forced-vdp %s\n", VDP_VERSION);
        return finish_standard_output(0, true);
    }
    if (!options.lesson.empty() && !options.lesson_step)
        return print_lessons(options);
    open_asked_lesson(&options);
    const std::string clash = clashing_outputs(options);
    if (!clash.empty())
        return usage_error(clash);
    const std::string audio_error = audio_options_error(options);
    if (!audio_error.empty())
        return usage_error(audio_error);
    if (!options.export_sweep.empty() && !options.sweep)
        return usage_error("--export-sweep needs --sweep FROM:TO");
    const std::string too_many = map_grid_problem(options);
    if (!too_many.empty())
        return usage_error(too_many);
    console_on_stderr = batch(options);
    apply_start_options(options);
    std::vector<char*>& window_args = options.platform_args;
    window_args.push_back(nullptr);   // glutInit reads argv up to its count
    if (!batch(options) || !options.snapshot.empty() || !options.map_snapshot.empty())   // a window opens
        check_window_can_open(static_cast<int>(window_args.size()) - 1, window_args.data());
    if (batch(options))
        return finish_standard_output(run_batch(options, window_args));

    begin_run(options);
    if (lesson_open > 0)
        console_write(step_question_text(LESSONS[lesson_open - 1], lesson_step_open, console_language).c_str());
    int window_argc = static_cast<int>(window_args.size()) - 1;
    start_graphics(&window_argc, window_args.data(), runs_from_start(options));
}
