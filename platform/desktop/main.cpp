// Program entry: the command line, then the console dialog (or the values given), then the
// window; or, for the batch options, pictures and data out without a dialog.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/dialog.h"
#include "app/export.h"
#include "app/lessons.h"
#include "app/options.h"
#include "app/run.h"
#include "app/sound.h"
#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "platform/desktop/data_files.h"
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
int finish_standard_output(int status, bool wrote = false)
{
    if (wrote && standard_output_closed)
        return write_error("-", std::strerror(EBADF));
    const bool failed_before = std::ferror(stdout) != 0;
    errno = 0;
    if (std::fclose(stdout) != 0 || failed_before) {
        if (status != 0)
            return status;
        return write_error("-", std::strerror(errno != 0 ? errno : EIO));
    }
    return status;
}

// The outputs asked for, by option name; two of them landing in one place would destroy one
// another.
std::string clashing_outputs(const Options& options)
{
    const struct {
        const char* option;
        const std::string& path;
    } outputs[] = {{"--snapshot", options.snapshot},
                   {"--export-curves", options.export_curves},
                   {"--export-motion", options.export_motion},
                   {"--export-strobe", options.export_strobe},
                   {"--export-sweep", options.export_sweep},
                   {"--export-audio", options.export_audio}};
    for (std::size_t i = 0; i < std::size(outputs); ++i)
        for (std::size_t j = i + 1; j < std::size(outputs); ++j)
            if (!outputs[i].path.empty() && !outputs[j].path.empty() &&
                same_output(outputs[i].path.c_str(), outputs[j].path.c_str()))
                return std::string(outputs[i].option) + " and " + outputs[j].option +
                       " cannot both write to '" + outputs[j].path + "'";
    return {};
}

bool batch(const Options& options)
{
    return !options.snapshot.empty() || !options.export_curves.empty() ||
           !options.export_motion.empty() || !options.export_strobe.empty() ||
           !options.export_sweep.empty() || !options.export_audio.empty();
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

// The frame after the frames asked for (with a sweep and no frames, the frame after the sweep),
// drawn into a window that is never waited on, and written from the back buffer: the pixels
// the window would show first.
int write_snapshot(const Options& options, std::vector<char*>& window_args)
{
    start_asked_sweep(options);
    advance_frames(options.frames.value_or(0));
    while (!options.frames && sweep_running)
        advance_frames(1);
    advance_frames(frames_per_drawn_frame());
    int argc = static_cast<int>(window_args.size()) - 1;
    open_window(&argc, window_args.data());
    on_reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    draw_frame();
    const std::string error = save_window_picture(options.snapshot.c_str());
    return error.empty() ? 0 : write_error(options.snapshot, error);
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
    return options.snapshot.empty() ? 0 : write_snapshot(options, window_args);
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
    console_on_stderr = batch(options);
    apply_start_options(options);
    std::vector<char*>& window_args = options.platform_args;
    window_args.push_back(nullptr);   // glutInit reads argv up to its count
    if (!batch(options) || !options.snapshot.empty())   // a window will open
        check_window_can_open(static_cast<int>(window_args.size()) - 1, window_args.data());
    if (batch(options))
        return finish_standard_output(run_batch(options, window_args));

    begin_run(options);
    if (lesson_open > 0)
        console_write(step_question_text(LESSONS[lesson_open - 1], lesson_step_open, console_language).c_str());
    int window_argc = static_cast<int>(window_args.size()) - 1;
    start_graphics(&window_argc, window_args.data(), runs_from_start(options));
}
