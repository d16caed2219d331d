#pragma once
// Every control once: what a user can press or give, with its names on the command line, in
// the page's address, at the keyboard of either platform, on the page's buttons, and whether a
// scenario link carries it. The command line, both keyboards and the page read this table: a
// new layer, view or tool is a row here plus its own code.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "app/options.h"
#include "app/texts.h"

// Keys as both platforms give them: a character as its code (ESC 27), a key that types
// nothing above 255.
constexpr int KEY_ESC = 27;
constexpr int FIRST_NAMED_KEY = 0x100;
constexpr int KEY_F1 = 0x101;              // F1 ... F12 follow one another
constexpr int KEY_F2 = KEY_F1 + 1;
constexpr int KEY_F3 = KEY_F1 + 2;
constexpr int KEY_F4 = KEY_F1 + 3;
constexpr int KEY_F5 = KEY_F1 + 4;
constexpr int KEY_F6 = KEY_F1 + 5;
constexpr int KEY_F7 = KEY_F1 + 6;
constexpr int KEY_F8 = KEY_F1 + 7;
constexpr int KEY_F9 = KEY_F1 + 8;
constexpr int KEY_F10 = KEY_F1 + 9;
constexpr int KEY_F12 = KEY_F1 + 11;
constexpr int KEY_LEFT = 0x111;
constexpr int KEY_UP = 0x112;
constexpr int KEY_RIGHT = 0x113;
constexpr int KEY_DOWN = 0x114;

enum class ControlKind {
    key,       // a key whose act does all it does ('m', 'f', 'j', ESC)
    view,      // a key whose act changes the view; the next frame is drawn after it
    layer,     // a layer over the picture, on or off: a key, a toggle, --name, name=1 or 0
    tool,      // a key or button whose act does all it does
    value,     // a number: --name X, name=X
    frames,    // a whole number of frames, 0 ... MAX_FRAMES
    family,    // the family of curves shown: e or E
    language,  // the console's: en or ja
    output,    // a file written: --name FILE
    flag,      // --name alone
    pair,      // two numbers: --name X,Y, name=X,Y
    ratios,    // two forcing ratios: --name FROM:TO, name=FROM:TO
    step,      // a key or button that steps a value of the running motion (z by hand); the
               // next frame is drawn after it, and a held key repeats
    grid,      // an axis of the locking map's grid: --name A:B:N, name=A:B:N
    periods,   // a whole number of forcing periods, 1 ... MAP_MOST_PERIODS
    lesson,    // a lesson's id or list: --name ID, name=ID; the page's Lessons toggle
    lesson_step,   // a step of that lesson, from 1: --name K, name=K
};

// Where a control's value goes: a number, file name or flag into the command line's Options;
// a layer's switch in the program-wide state.
using ControlTarget = std::variant<std::monostate, std::optional<double> Options::*,
                                   std::string Options::*, bool Options::*, bool*,
                                   std::optional<std::array<double, 2>> Options::*>;

struct Control {
    const char* name;        // option and address parameter, or a tool's name for the platforms;
                             // nullptr for a key alone
    const char* value_name;  // what --name takes, as --help names it ("E", "FILE.png"); "" none
    int key;                 // a character or KEY_F1 ...; 0 for none
    Text label;              // its name on a key or button (a function key is added); NO_TEXT
    Text help;               // one line on what it does: --help, a tool's tooltip; NO_TEXT
    ControlKind kind;
    void (*act)();           // what pressing it does (a view key: its change of view; a layer
                             // has none, its press turns its target over); nullptr: a tool the
                             // platform does itself, a view key that only draws
    bool in_link;            // a copied scenario link carries it, and so the address takes it
    ControlTarget target = {};
    const char* other_names = nullptr;   // what else the address takes for name, '|' between:
                                         // the names the dialog, the page and the picture show
    const char* link_name = nullptr;     // its address parameter where that is not name
};

extern const std::span<const Control> CONTROLS;

// The row called name, or of key; nullptr where there is none.
const Control* control_named(std::string_view name);
// The row a link's parameter called name sets: its link name or one of its other names, either
// without regard to case of ASCII letters ("EPS", "F", "ε"); nullptr where a link carries none.
const Control* linked_control_named(std::string_view name);
const Control* control_for_key(int key);

// The name of control's parameter in an address: its link_name, else its name.
const char* link_name(const Control& control);

// Whether control is a command-line option (--name).
bool is_option(const Control& control);
// Whether the platform does what pressing control does (Save picture, Run / Pause, ...).
bool platform_acts(const Control& control);

// A key as its cap names it ("y", "ESC", "F3", "Left"), and as a browser's KeyboardEvent.key
// does ("y", "Escape", "F3", "ArrowLeft").
std::string key_cap(int key);
std::string key_event_name(int key);

// The text id of control (its label or help) in language: its numbers filled in, and for a
// key that types nothing the key after it ("Run / Pause (F5)").
std::string control_text(const Control& control, Text id, Language language);
// The same without the key.
std::string control_words(const Control& control, Text id, Language language);

// The change of view that key makes ('y' 'Y' 't' 'T' 'z' 'Z' 'e' 'E'); nothing for others.
// A press that would make a scale infinite or zero changes nothing.
void apply_view_key(unsigned char key);
