#pragma once
// The command line: a scenario to open on, pictures and data to write, the console language.
// The same names serve the web page's address parameters.
#include <optional>
#include <string>
#include <vector>

#include "app/texts.h"

struct Options {
    bool help = false;
    bool version = false;
    // Model parameters and the initial state; giving any of them skips the start dialog.
    std::optional<double> epsilon, force, z, y0, v0;
    int family = 0;                      // 'e' or 'E': that family shown from the first frame
    bool stability = false;              // the main curve drawn by its stability (F3)
    bool measured = false;               // the measured first-harmonic amplitude (F4)
    std::optional<long> frames;          // frames advanced before the window shows the state
    std::string snapshot;                // PNG of the frame after `frames`; empty: none
    std::string export_curves;           // CSV of the curves; "-" standard output; empty: none
    std::string export_motion;           // CSV of frames 0 ... frames; as export_curves
    std::optional<Language> language;
    std::vector<char*> window_args;      // argv[0] and the window system's own options
};

constexpr long MAX_FRAMES = 1000000;     // most frames --frames may ask for
constexpr long MOTION_FRAMES = 1000;     // frames --export-motion writes without --frames

// Sets the option called name (without its leading dashes) from value, checking the value.
// Returns an empty string, or a one-line message naming the option and what is wrong.
std::string set_option(const char* name, const char* value, Options* options);

// The note on what a value of the option called name must be (WANTS_NUMBER, ...);
// TEXT_COUNT where name is no option or one that takes a file name or no value.
Text wanted_value(const char* name);

// Reads the whole command line into options: "--name value" and "--name=value", "--" ends the
// options, and the window system's options (-display, -geometry, -iconic, -direct,
// -indirect, -gldebug, -sync) are kept in window_args for it. Returns an empty string, or a
// one-line message naming the first bad option or value.
std::string parse_options(int argc, char** argv, Options* options);

// The one-line usage, and the whole help text with every option.
extern const char* const USAGE;
std::string help_text();

// The layers asked for (--stability, --measured) shown from the first frame.
void take_layers(const Options& options);

// Whether any of --eps, --force, --z, --y0, --v0 was given.
bool has_parameters(const Options& options);

// A language as --lang and FORCED_VDP_LANG name it: any value beginning "en" is English
// ("EN", "en_US.UTF-8", "english"), any beginning "ja" Japanese; nothing for anything else.
std::optional<Language> read_language(const char* value);

// The console language: --lang where given, else FORCED_VDP_LANG read as read_language reads
// it, else Japanese. A FORCED_VDP_LANG that names neither language gets one line on standard
// error, and Japanese.
Language chosen_language(const Options& options);
