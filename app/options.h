#pragma once
// The command line and the page's address: a scenario to open on, pictures and data to write,
// the console language. Their names are those of the controls table (app/controls.h).
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/texts.h"

struct Control;

struct Options {
    bool help = false;
    bool version = false;
    // Model parameters and the initial state; giving any of them skips the start dialog.
    std::optional<double> epsilon, force, z, y0, v0;
    int family = 0;                      // 'e' or 'E': that family shown from the first frame
    std::vector<const Control*> layers;  // rows of the layers shown from the first frame
    std::optional<long> frames;          // frames advanced before the window shows the state
    std::string snapshot;                // PNG of the frame after `frames`; empty: none
    std::string export_curves;           // CSV of the curves; "-" standard output; empty: none
    std::string export_motion;           // CSV of frames 0 ... frames; as export_curves
    std::optional<Language> language;
    std::vector<char*> platform_args;    // argv[0] and the platform's own options, for it
    // The locking map: its CSV and its picture (as export_curves and snapshot), its grid's
    // axes ("A:B:N") and run lengths (whole numbers of periods), as given; empty: not given.
    std::string locking_map, map_snapshot;
    std::string map_z, map_force, map_transient, map_window, map_periods;
};

constexpr long MAX_FRAMES = 1000000;     // most frames --frames may ask for
constexpr long MOTION_FRAMES = 1000;     // frames --export-motion writes without --frames

// An option of the platform's own that the command line passes on to it (the window
// system's -display NAME, -iconic, ...).
struct PlatformOption {
    const char* name;                    // with its one dash
    bool takes_value;
};

// Sets the option called name (without its leading dashes) from value, checking the value.
// Returns an empty string, or a one-line message naming the option and what is wrong.
std::string set_option(const char* name, const char* value, Options* options);

// The note on what a value of the option called name must be (WANTS_NUMBER, ...); NO_TEXT
// where name is no option or one that takes a file name or no value.
Text wanted_value(const char* name);
// That note in language, with the numbers it names.
std::string wanted_text(Language language, Text wanted);

// Reads the whole command line into options: "--name value" and "--name=value", "--" ends the
// options, and the platform's own options, values included, are kept in platform_args for it.
// Returns an empty string, or a one-line message naming the first bad option or value.
std::string parse_options(int argc, char** argv, Options* options,
                          std::span<const PlatformOption> platform_options = {});

// The one-line usage, and the whole help text with every option.
extern const char* const USAGE;
std::string help_text();

// Whether options ask for the layer of that row of the controls table.
bool layer_asked(const Options& options, const Control& layer);

// Whether any of --eps, --force, --z, --y0, --v0 was given.
bool has_parameters(const Options& options);

// A language as --lang and FORCED_VDP_LANG name it: any value beginning "en" is English
// ("EN", "en_US.UTF-8", "english"), any beginning "ja" Japanese; nothing for anything else.
std::optional<Language> read_language(const char* value);

// The console language: --lang where given, else FORCED_VDP_LANG read as read_language reads
// it, else Japanese. A FORCED_VDP_LANG that names neither language gets one line on standard
// error, and Japanese.
Language chosen_language(const Options& options);

// A parameter of an address (name, value, both decoded), and one that was not taken: its
// name and value as given, and what the value must be (NO_TEXT for a name not taken).
using AddressParameter = std::pair<std::string, std::string>;
struct AddressNote {
    std::string name, value;
    Text wanted;
};

// The scenario an address names, with the command line's names and checks
// (eps=0.1&force=0.5&z=1&y0=0&v0=0&family=e&frames=600&lang=en&stability=1): only the
// controls a link carries are taken. A refused value or a name not taken is noted (at most
// the first 20), and then none of eps, force, z, y0, v0 and frames is taken: a dialog asks
// for all of them.
Options address_options(const std::vector<AddressParameter>& parameters,
                        std::vector<AddressNote>* notes);

// The address parameters of a link to the scenario in options, which address_options reads
// back: first what every link names (eps, force, z, y0, v0, frames), then what differs from
// a plain start (family, lang=en, the layers shown), each number in the fewest digits that
// read back to it.
std::string address_query(const Options& options);
