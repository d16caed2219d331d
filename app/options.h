#pragma once
// The command line and the page's address: a scenario to open on, pictures and data to write,
// the console language. Their names are those of the controls table (app/controls.h).
#include <array>
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
    std::string export_strobe;           // CSV of the stroboscopic points; as export_curves
    std::optional<std::array<double, 2>> second_start;   // (y0, v0) of a second motion
    std::optional<Language> language;
    std::vector<char*> platform_args;    // argv[0] and the platform's own options, for it
    // The motion as sound.
    std::string export_audio;            // WAV of the motion; as export_curves
    std::optional<double> seconds;       // its length; without it, the frames'
    bool audio_force = false;            // the force as a second voice in it
    // The entrainment experiment.
    std::optional<std::array<double, 2>> sweep;   // FROM and TO: z swept from the start
    std::string export_sweep;            // CSV of that sweep's records; as export_curves
    // The locking map: its CSV and its picture (as export_curves and snapshot), its grid's
    // axes ("A:B:N") and run lengths (whole numbers of periods), as given; empty: not given.
    std::string locking_map, map_snapshot;
    std::string map_z, map_force, map_transient, map_window, map_periods;
    // Lessons (app/lessons.h).
    std::string lesson;                  // a lesson's id, or "list"; empty: none
    std::optional<long> lesson_step;     // the step opened, from 1
};

constexpr long MAX_FRAMES = 1000000;     // most frames --frames may ask for
constexpr long MOTION_FRAMES = 1000;     // frames --export-motion writes without --frames
constexpr long STROBE_FRAMES = 20000;    // frames --export-strobe runs without --frames

// An option of the platform's own that the command line passes on to it (the window
// system's -display NAME, -iconic, ...).
struct PlatformOption {
    const char* name;                    // with its one dash
    bool takes_value;
};

// A whole number in decimal digits alone (no sign, no blank), least ... most, into *value;
// false, leaving *value, for anything else.
bool read_whole(const char* text, long least, long most, long* value);

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
// Returns an empty string, or a one-line message naming the first bad option or value (a
// --step its lesson has not: lesson_refusal).
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

// A parameter of an address (name, value, both decoded), and a note on the address: a
// parameter not taken (the dialog then asks for everything), or a word on what was made of it.
using AddressParameter = std::pair<std::string, std::string>;
enum class AddressNoteKind {
    unknown_name,    // name, value: no parameter of a link is called so
    refused_value,   // name, value: not a value of that parameter; wanted says what it must be
    repeated,        // name, value: the parameter came again, and this last value is taken
    taken_as_zero,   // name: the model values not given ("z, y0, v0"), which start at 0
    fragment,        // value: the address's part after '#', which is not read
};
struct AddressNote {
    AddressNoteKind kind;
    std::string name, value;
    Text wanted = NO_TEXT;
};

// Whether the address's values were not taken because of note: the dialog asks for all.
bool refuses(const AddressNote& note);

// The scenario an address names (eps=0.1&force=0.5&z=1&y0=0&v0=0&family=e&frames=600&lang=en&
// stability=1), with the command line's checks of values: only the controls a link carries are
// taken, by their names or the names the page shows (F, ε), either in any case of letters
// (EPS, Lang). Notes go into notes (at most the first 20 that refuse): a refused value or a
// name not taken, and then none of eps, force, z, y0, v0 and frames is taken, so that a dialog
// asks for all of them; a name given twice, whose last value is taken; the model values not
// given where others are, which start at 0; a fragment (what follows '#'), which is not read.
// A step beyond its lesson's last, or with no lesson, is refused as a value is
// (lesson_refusal).
Options address_options(const std::vector<AddressParameter>& parameters,
                        std::vector<AddressNote>* notes, const std::string& fragment = "");

// The address parameters of a link to the scenario in options, which address_options reads
// back: first what every link names (eps, force, z, y0, v0, frames), then what differs from
// a plain start (family, lang=en, the layers shown, the second start, the sweep, a lesson and
// its step), each number in the fewest digits that read back to it.
std::string address_query(const Options& options);

// Lessons as options open them (the lessons themselves: app/lessons.h).
struct LessonStep;

// The step's scenario as a link to it opens: its address parameters through address_options,
// with the notes that made on them (none, for a step of the table).
Options step_scenario(const LessonStep& step, std::vector<AddressNote>* notes);

// What is wrong with the lesson options ask for: a step with no lesson (or with list), or
// beyond the lesson's last. As a note on the address's parameter step; nothing where all is
// well.
std::optional<AddressNote> lesson_refusal(const Options& options);

// Opens the lesson options ask for: lesson_open and lesson_step_open (core/state.h), and where
// options give none of the model values, the step's scenario (step 1 where none is given) in
// place of every value of a scenario in options (the values, frames, family, layers, second
// start and sweep); the language and the outputs stay. Values given beside the lesson are a
// scenario of their own, which the lesson opens at its step over. No lesson, none open.
void open_asked_lesson(Options* options);
