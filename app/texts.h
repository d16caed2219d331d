#pragma once
// Every text the program writes to the console, in Japanese and in English side by side, and
// the window title. The Japanese texts are the program's own, byte for byte; the English ones
// say the same in plain ASCII, so that any terminal shows them.
#include <initializer_list>
#include <string>
#include <string_view>

// Which language the console writes in.
enum class Language { japanese, english };

enum Text {
    // The banner at the start and after 'm': title, equation, the three inputs.
    BANNER_TITLE,
    BANNER_EQUATION,
    BANNER_INPUT_1,
    BANNER_INPUT_2,
    BANNER_INPUT_3,
    PROMPT_EPSILON,        // (1)
    NOTE_ENTRAINMENT,      // the two notes on z before (2)
    NOTE_AWAY_FROM_ONE,
    PROMPT_FORCE,          // (2)
    PROMPT_INITIAL,        // (3)
    // The key help after (3).
    HELP_COLOURS,
    HELP_S_Y,
    HELP_M_T,
    HELP_F_E,
    HELP_J,
    HELP_ESC,
    // Extensions: never written by a plain run.
    HELP_FUNCTION_KEYS,    // F1 adds it to the key help
    HELP_LAYER_KEYS,       // and this line, on the two layers' keys
    PICTURE_SAVED,         // F2; %s the file's path
    PICTURE_NOT_SAVED,     // F2; %s the reason
    // Notes on what went wrong, each one line.
    KEPT_AFTER_UNREADABLE, // after an unreadable answer; %s the values kept, "ε=0.3" or "F=0.6, z=1.2"
    NAME_EPSILON,          // ε as that note names it
    MOTION_OUT_OF_RANGE,   // once per run, after the first frame whose state is not finite
    NO_DISPLAY,            // before the dialog; %s the display's name, %s the program
    WINDOW_TOO_LARGE,      // before the dialog; %s the -geometry given, %s the largest side
    WINDOW_GEOMETRY_UNREADABLE,  // before the dialog; as WINDOW_TOO_LARGE
    GL_CANNOT_START,       // before the dialog; %s what the trial came to, %s the limit in KB
    NO_FRAME_TO_SAVE,      // F2 after a dialog, before a frame: PICTURE_NOT_SAVED's reason
    INPUT_LINE_TOO_LONG,   // an input line past the console's limit; %s the limit in bytes
    // What a value of an option or address parameter must be (the end of the note on a
    // refused value).
    WANTS_NUMBER,
    WANTS_FRAMES,
    WANTS_FAMILY,
    WANTS_LANGUAGE,
    WANTS_LAYER,
    // What each control does, one line (app/controls.cpp): --help's lines in English, the
    // tooltips of the page's tools and toggles.
    ABOUT_HELP,
    ABOUT_VERSION,
    ABOUT_EPSILON,
    ABOUT_FORCE,
    ABOUT_Z,
    ABOUT_Y0,
    ABOUT_V0,
    ABOUT_FAMILY,
    ABOUT_FRAMES,             // %s the most frames
    ABOUT_SNAPSHOT,
    ABOUT_EXPORT_CURVES,
    ABOUT_EXPORT_MOTION,      // %s the frames written without --frames
    ABOUT_LANGUAGE,
    ABOUT_RUN_PAUSE,
    ABOUT_SAVE_PICTURE,
    ABOUT_DOWNLOAD_CURVES,
    ABOUT_COPY_LINK,
    ABOUT_STABILITY,
    ABOUT_MEASURED,
    ABOUT_KEY_HELP,
    // The page's own texts, never on the console (UTF-8 in both languages): its title, its
    // messages, the names of its controls and the panel of values beside the picture.
    PAGE_TITLE,
    PAGE_NO_WEBGL,
    PAGE_ABORTED,
    PAGE_ENDED,
    PAGE_ENDED_WITH_STATUS,   // %s the exit status
    PAGE_START_AGAIN,
    PAGE_START_AGAIN_WITH_VALUES,
    PAGE_NEXT_FRAME_HINT,     // the old frame shows after a dialog
    PAGE_REFUSED_VALUE,       // %s name, %s value as given, %s what it must be
    PAGE_UNKNOWN_NAME,        // %s name, %s value as given
    PAGE_DIALOG_ASKS_ALL,     // after refused values or unknown names
    PAGE_LINK_COPIED,
    PAGE_LINK_NOT_COPIED,
    PAGE_LINK_LOCAL_FILE,     // the page was opened from disk
    PAGE_CANVAS_NAME,
    PAGE_VALUES_HEADING,
    PAGE_VALUES_PARAMETERS,   // %s epsilon, %s F, %s z
    PAGE_VALUES_INITIAL,      // %s y0, %s v0
    PAGE_VALUES_TIME,         // %s t, %s the frame shown
    PAGE_VALUES_CROSSINGS,    // %s the amplitudes
    PAGE_VALUES_NO_CROSSING,
    PAGE_INPUT_NAME,          // the input line while no prompt waits
    PAGE_CONSOLE_OPEN,
    PAGE_CONSOLE_CLOSE,
    PAGE_KEY_S,               // the on-screen keys' names
    PAGE_KEY_SMALL_Y,
    PAGE_KEY_Y,
    PAGE_KEY_SMALL_T,
    PAGE_KEY_T,
    PAGE_KEY_SMALL_Z,
    PAGE_KEY_Z,
    PAGE_KEY_SMALL_E,
    PAGE_KEY_E,
    PAGE_KEY_M,
    PAGE_KEY_F,
    PAGE_KEY_J,
    PAGE_KEY_ESC,
    PAGE_RUN_PAUSE,           // the tools and toggles; the page adds their function key
    PAGE_SAVE_PICTURE,
    PAGE_DOWNLOAD_CURVES,
    PAGE_COPY_LINK,
    PAGE_STABILITY_LAYER,
    PAGE_MEASURED_LAYER,
    // The motion in words and as sound: their controls, the page's names for them, and the
    // parts of the sentences that say what the motion does (app/describe.h).
    ABOUT_WORDS,
    ABOUT_EXPORT_AUDIO,
    ABOUT_SECONDS,            // %s the most seconds
    ABOUT_AUDIO_FORCE,
    ABOUT_SOUND,
    ABOUT_FORCE_VOICE,
    PAGE_SOUND,
    PAGE_FORCE_VOICE,
    PAGE_VOLUME,
    WORDS_HEAD_END,           // after a sentence's head ("Locked"); the brief form ends there
    WORDS_BRIEF_END,
    WORDS_LOCKED,
    WORDS_AMPLITUDE,          // %s the amplitude
    WORDS_PREDICTED,          // %s the amplitude harmonic balance predicts, %s its class
    WORDS_NONE_PREDICTED,
    WORDS_PERIODIC,           // %s the period, %s the swings in it, %s the period as a count
    WORDS_PERIODIC_REPEATS,   // %s the period, %s the period as a count
    WORDS_ONE_SWING,
    WORDS_SWINGS,             // %s how many
    WORDS_FALLS_BEHIND,       // %s time units a slip takes
    WORDS_GAINS,              // %s time units a slip takes
    WORDS_SWINGS_PER_PUSH,    // %s swings
    WORDS_DRIFTING,
    WORDS_MODULATED,
    WORDS_RANGE,              // %s the least, %s the largest amplitude
    WORDS_SETTLING_COUNT,     // %s the forcing periods before a judgement, %s those so far
    WORDS_SETTLING,
    WORDS_FREE,               // %s the angular frequency
    WORDS_REST,
    WORDS_NOT_MEASURED,       // %s the largest z measured
    WORDS_LOST,
    // The phase plane: its controls, F1's line on its keys, the orbit F9 seeks (on the console
    // and in the page's values panel), the second start in that panel.
    ABOUT_PHASE,
    ABOUT_ORBIT,
    ABOUT_SECOND_START,
    ABOUT_EXPORT_STROBE,      // %s the frames written without --frames
    WANTS_PAIR,
    PAGE_PHASE_VIEW,
    PAGE_ORBIT,
    HELP_PHASE_KEYS,          // F1 adds it to the key help
    ORBIT_FOUND,              // %s and %s the two multipliers, %s the class
    ORBIT_NOT_FOUND,
    CLASS_STABLE,             // a class's name, in ResponseClass's order (words, F9)
    CLASS_SADDLE,
    CLASS_UNSTABLE,
    CLASS_NEUTRAL,
    PAGE_VALUES_SECOND_START, // %s y0, %s v0
    PAGE_REPEATED_NAME,       // %s name, %s the value taken
    PAGE_TAKEN_AS_ZERO,       // %s the names of the model values not given
    PAGE_FRAGMENT_NOT_READ,   // %s the part after '#', twice
    PAGE_WAITING,             // over the picture until the start dialog is answered
    PAGE_ADVANCING,           // %s the frame to be shown, %s the percentage done
    PAGE_LEGEND_MOTION,       // the picture's labels and legends in the values panel
    PAGE_LEGEND_CURVE,        // %s PAGE_UNSTABLE_UNDER or PAGE_UNSTABLE_ABOVE
    PAGE_UNSTABLE_UNDER,
    PAGE_UNSTABLE_ABOVE,
    PAGE_LEGEND_EPSILON_FAMILY,   // %s the family's values
    PAGE_LEGEND_FORCE_FAMILY,     // %s the family's values
    PAGE_LEGEND_STABILITY,
    PAGE_LEGEND_MEASURED,     // %s the periods of the range
    // The entrainment experiment (z by hand and swept). On the console, plain ASCII English:
    WANTS_SWEEP,              // %s the largest ratio, %s the widest span
    ABOUT_SWEEP,              // %s the step
    ABOUT_EXPORT_SWEEP,
    ABOUT_SWEEP_KEY,          // %s how far either side
    ABOUT_Z_DOWN,             // %s the step
    ABOUT_Z_UP,               // %s the step
    HELP_SWEEP_KEYS,          // F1 adds it to the key help; %s the step
    SWEEP_DONE,               // %s the ratios measured, %s and %s the locked ones up and down
    SWEEP_LOCKED_RANGE,       // %s the lowest and %s the highest locked ratio
    SWEEP_NONE_LOCKED,
    // and the page's (UTF-8):
    PAGE_SWEEP,
    PAGE_Z_DOWN,              // %s the step
    PAGE_Z_UP,                // %s the step
    PAGE_VALUES_MOTION,       // %s one of the four below
    PAGE_VALUES_MOTION_AT,    // %s the ratio a sweep decided last, %s as PAGE_VALUES_MOTION
    PAGE_MOTION_SETTLING,
    PAGE_MOTION_LOCKED,       // %s the rotation number
    PAGE_MOTION_PERIODIC,     // %s the strobe period, %s the rotation number
    PAGE_MOTION_DRIFTING,     // %s the rotation number, %s the drift frequency
    PAGE_VALUES_SWEEP_UP,     // %s the frames advanced per frame drawn
    PAGE_VALUES_SWEEP_DOWN,   // as PAGE_VALUES_SWEEP_UP
    // The locking map (F8, --locking-map): values refused, --help's lines, the console's
    // lines, the page's button and values panel.
    WANTS_MAP_AXIS,
    WANTS_MAP_PERIODS,
    WANTS_MAP_GRID,           // the two axes together hold too many cells
    ABOUT_LOCKING_MAP,
    ABOUT_MAP_SNAPSHOT,
    ABOUT_MAP_Z,
    ABOUT_MAP_FORCE,
    ABOUT_MAP_TRANSIENT,
    ABOUT_MAP_WINDOW,
    ABOUT_MAP_PERIODS,
    ABOUT_MAP,
    HELP_MAP_KEY,             // F1 adds it to the key help
    MAP_STARTED,              // %s eps, %s z from, to, count, %s F from, to, count, %s y0, v0
    MAP_FINISHED,             // %s cells, %s seconds
    PAGE_MAP,
    PAGE_VALUES_MAP,          // %s eps, %s z from, to, %s F from, to
    PAGE_VALUES_MAP_PROGRESS, // %s rows done, %s rows
    PAGE_VALUES_MAP_COUNTS,   // %s cells locked 1:1, periodic, drifting, settling, at rest
    PAGE_VALUES_MAP_TAP,
    PAGE_MAP_UNAVAILABLE,     // the browser cannot run the map's engine
    // Lessons (app/lessons.h). On the console, plain ASCII English:
    ABOUT_LESSON,
    ABOUT_LESSON_STEP,
    WANTS_LESSON,             // %s the number of lessons
    WANTS_LESSON_STEP,
    LESSON_HEADING,           // %s the lesson's id, %s its title
    LESSON_STEP_HEADING,      // %s the step, %s the lesson's steps, %s the question
    LESSON_RIGHT_MARK,        // after the right choice in --lesson ID's steps
    LESSON_WHY,               // %s why the right choice is right
    LESSON_LOOK,              // %s what to look at
    LESSON_OPENS,             // %s the id, %s the step, %s the page's address parameters
    LESSON_CHECKED,           // %s what the step claims, checked by the tests
    LESSON_ANSWER_LATER,      // after --step K's question; %s the lesson's id
    // and the page's (UTF-8):
    PAGE_LESSONS,             // the Lessons toggle
    PAGE_LESSON_PLACE,        // %s the lesson's id, %s its title, %s the step, %s the steps
    PAGE_LESSON_CHOOSE,
    PAGE_LESSON_RIGHT,
    PAGE_LESSON_WRONG,        // %s the right choice
    PAGE_LESSON_BACK,
    PAGE_LESSON_NEXT,
    PAGE_LESSON_LIST,
    PAGE_LESSON_LEAVE,
    PAGE_LESSON_LEAVE_HELP,
    // The picture's layers in words in the values panel (UTF-8): the phase plane in place of
    // PAGE_LEGEND_MOTION, its second start and orbit, the sweep's trail and strip.
    PAGE_LEGEND_PHASE,        // %s the periods of the trail
    PAGE_LEGEND_SECOND,
    PAGE_LEGEND_ORBIT,
    PAGE_LEGEND_SWEEP,
    TEXT_COUNT,
    NO_TEXT = TEXT_COUNT,     // where a control has no such text
    FIRST_PAGE_TEXT = PAGE_TITLE
};

// The console's language; Japanese unless the command line or FORCED_VDP_LANG asks for English.
extern Language console_language;

// Text id in the console's language, UTF-8.
const char* text(Text id);
// Text id in the given language.
const char* text_in(Language language, Text id);

// text with its "%s" places filled, in order, with args; places left over stay as they are.
std::string fill_text(std::string_view text, std::initializer_list<std::string_view> args);

// v in the fewest significant digits that read back to the same double ("0.1", "1e+21").
std::string shortest_digits(double v);

// The window's title, UTF-8.
extern const char* const WINDOW_TITLE;
