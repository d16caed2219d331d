// The table of controls, the names of keys, and what the letter keys do.
#include "app/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "app/describe.h"
#include "app/dialog.h"
#include "app/sound.h"
#include "app/sweep.h"
#include "core/state.h"

namespace {

constexpr double SCALE_FACTOR = 0.9;          // one key press scales by this, or divides by it
constexpr int LAST_TRACE_SLOT = TRACE_CAPACITY - 1;

// A scale that reached infinity (or zero) could never come back: dividing or multiplying by
// 0.9 leaves it there. The press that would take it there leaves it as it is instead.
double rescaled(double scale, double next)
{
    return std::isfinite(next) && next != 0.0 ? next : scale;
}

void shrink_amplitude_scale()
{
    amp_scale = rescaled(amp_scale, amp_scale * SCALE_FACTOR);
}

void grow_amplitude_scale()
{
    amp_scale = rescaled(amp_scale, amp_scale / SCALE_FACTOR);
}

// Refuse a 't' that would make a sweep longer than a trace row: trace_dx and trace_len stay
// as they are (the key still draws its frame), so trace_index never passes the last slot.
void shorten_trace_step()
{
    const double dx = trace_dx * SCALE_FACTOR;
    const int len = static_cast<int>(1.0 / dx);
    if (len > LAST_TRACE_SLOT)
        return;
    trace_dx = dx;
    trace_len = len;
}

void lengthen_trace_step()
{
    trace_dx = rescaled(trace_dx, trace_dx / SCALE_FACTOR);
    trace_len = static_cast<int>(1.0 / trace_dx);
}

void shrink_z_scale()
{
    z_scale = rescaled(z_scale, z_scale * SCALE_FACTOR);
}

void grow_z_scale()
{
    z_scale = rescaled(z_scale, z_scale / SCALE_FACTOR);
}

void show_epsilon_family()
{
    family_view = 'e';
}

void show_force_family()
{
    family_view = 'E';
}

// 'm', 'f' and 'j': the dialog from the entry point command_key selects; the motion waits
// while the console is asked.
void ask_again()
{
    motion_running = false;
    input_parameters();
}

void quit()
{
    std::exit(0);
}

void lower_forcing_ratio()
{
    step_forcing_ratio(-1);
}

void raise_forcing_ratio()
{
    step_forcing_ratio(1);
}

using enum ControlKind;

// The order of rows is the order of --help's options, of the page's key row and of its tools.
constexpr Control CONTROL_TABLE[] = {
    // The command line's own.
    {"help", "", 0, NO_TEXT, ABOUT_HELP, flag, nullptr, false, &Options::help},
    {"version", "", 0, NO_TEXT, ABOUT_VERSION, flag, nullptr, false, &Options::version},
    // The scenario: the model, the initial state, the family shown, the frames advanced.
    {"eps", "E", 0, NO_TEXT, ABOUT_EPSILON, value, nullptr, true, &Options::epsilon, "ε|epsilon"},
    {"force", "F", 0, NO_TEXT, ABOUT_FORCE, value, nullptr, true, &Options::force, "F"},
    {"z", "Z", 0, NO_TEXT, ABOUT_Z, value, nullptr, true, &Options::z},
    {"y0", "Y", 0, NO_TEXT, ABOUT_Y0, value, nullptr, true, &Options::y0},
    {"v0", "V", 0, NO_TEXT, ABOUT_V0, value, nullptr, true, &Options::v0},
    {"family", "e|E", 0, NO_TEXT, ABOUT_FAMILY, family, nullptr, true},
    {"frames", "N", 0, NO_TEXT, ABOUT_FRAMES, frames, nullptr, true},
    // Pictures and data written without a window.
    {"snapshot", "FILE.png", 0, NO_TEXT, ABOUT_SNAPSHOT, output, nullptr, false, &Options::snapshot},
    {"export-curves", "FILE.csv", 0, NO_TEXT, ABOUT_EXPORT_CURVES, output, nullptr, false,
     &Options::export_curves},
    {"export-motion", "FILE.csv", 0, NO_TEXT, ABOUT_EXPORT_MOTION, output, nullptr, false,
     &Options::export_motion},
    {"lang", "en|ja", 0, NO_TEXT, ABOUT_LANGUAGE, language, nullptr, true},
    // Tools; each platform does the ones without an act itself.
    {"run-pause", "", KEY_F5, PAGE_RUN_PAUSE, ABOUT_RUN_PAUSE, tool, nullptr, false},
    {"save-picture", "", KEY_F2, PAGE_SAVE_PICTURE, ABOUT_SAVE_PICTURE, tool, nullptr, false},
    {"download-curves", "", 0, PAGE_DOWNLOAD_CURVES, ABOUT_DOWNLOAD_CURVES, tool, nullptr, false},
    {"copy-link", "", 0, PAGE_COPY_LINK, ABOUT_COPY_LINK, tool, nullptr, false},
    // The layers of the characteristic.
    {"stability", "", KEY_F3, PAGE_STABILITY_LAYER, ABOUT_STABILITY, layer, nullptr, true,
     &stability_shown},
    {"measured", "", KEY_F4, PAGE_MEASURED_LAYER, ABOUT_MEASURED, layer, nullptr, true,
     &measured_shown},
    {"key-help", "", KEY_F1, NO_TEXT, ABOUT_KEY_HELP, tool, print_key_help, false},
    // The letter keys. Any other character draws the next frame, as 's' does.
    {nullptr, "", 's', PAGE_KEY_S, NO_TEXT, view, nullptr, false},
    {nullptr, "", 'y', PAGE_KEY_SMALL_Y, NO_TEXT, view, shrink_amplitude_scale, false},
    {nullptr, "", 'Y', PAGE_KEY_Y, NO_TEXT, view, grow_amplitude_scale, false},
    {nullptr, "", 't', PAGE_KEY_SMALL_T, NO_TEXT, view, shorten_trace_step, false},
    {nullptr, "", 'T', PAGE_KEY_T, NO_TEXT, view, lengthen_trace_step, false},
    {nullptr, "", 'z', PAGE_KEY_SMALL_Z, NO_TEXT, view, shrink_z_scale, false},
    {nullptr, "", 'Z', PAGE_KEY_Z, NO_TEXT, view, grow_z_scale, false},
    {nullptr, "", 'e', PAGE_KEY_SMALL_E, NO_TEXT, view, show_epsilon_family, false},
    {nullptr, "", 'E', PAGE_KEY_E, NO_TEXT, view, show_force_family, false},
    {nullptr, "", 'm', PAGE_KEY_M, NO_TEXT, key, ask_again, false},
    {nullptr, "", 'f', PAGE_KEY_F, NO_TEXT, key, ask_again, false},
    {nullptr, "", 'j', PAGE_KEY_J, NO_TEXT, key, ask_again, false},
    {nullptr, "", KEY_ESC, PAGE_KEY_ESC, NO_TEXT, key, quit, false},
    // The motion in words and as sound: written without a window, printed, played in the page.
    {"export-audio", "FILE.wav", 0, NO_TEXT, ABOUT_EXPORT_AUDIO, output, nullptr, false,
     &Options::export_audio},
    {"seconds", "S", 0, NO_TEXT, ABOUT_SECONDS, value, nullptr, false, &Options::seconds},
    {"audio-force", "", 0, NO_TEXT, ABOUT_AUDIO_FORCE, flag, nullptr, false, &Options::audio_force},
    {"words", "", KEY_F10, NO_TEXT, ABOUT_WORDS, tool, print_motion_words, false},
    {"sound", "", 0, PAGE_SOUND, ABOUT_SOUND, tool, nullptr, false},
    {"force-voice", "", 0, PAGE_FORCE_VOICE, ABOUT_FORCE_VOICE, tool, nullptr, false},
    // The phase plane, the periodic orbit near the motion, a second motion beside the first.
    {"phase", "", KEY_F6, PAGE_PHASE_VIEW, ABOUT_PHASE, layer, nullptr, true, &phase_shown},
    {"orbit", "", KEY_F9, PAGE_ORBIT, ABOUT_ORBIT, layer, nullptr, true, &orbit_shown},
    {"second-start", "Y0,V0", 0, NO_TEXT, ABOUT_SECOND_START, pair, nullptr, true,
     &Options::second_start, nullptr, "second"},
    {"export-strobe", "FILE.csv", 0, NO_TEXT, ABOUT_EXPORT_STROBE, output, nullptr, false,
     &Options::export_strobe},
    // The entrainment experiment: z swept from the start, its records written, F7's sweep,
    // z by hand.
    {"sweep", "FROM:TO", 0, NO_TEXT, ABOUT_SWEEP, ratios, nullptr, true},
    {"export-sweep", "FILE.csv", 0, NO_TEXT, ABOUT_EXPORT_SWEEP, output, nullptr, false,
     &Options::export_sweep},
    {"sweep-z", "", KEY_F7, PAGE_SWEEP, ABOUT_SWEEP_KEY, tool, nullptr, false},
    {"z-down", "", KEY_LEFT, PAGE_Z_DOWN, ABOUT_Z_DOWN, step, lower_forcing_ratio, false},
    {"z-up", "", KEY_RIGHT, PAGE_Z_UP, ABOUT_Z_UP, step, raise_forcing_ratio, false},
    // The locking map: its CSV and picture, its grid and run lengths, and F8, which each
    // platform does itself (threads, Web Workers).
    {"locking-map", "FILE.csv", 0, NO_TEXT, ABOUT_LOCKING_MAP, output, nullptr, false,
     &Options::locking_map},
    {"map-snapshot", "FILE.png", 0, NO_TEXT, ABOUT_MAP_SNAPSHOT, output, nullptr, false,
     &Options::map_snapshot},
    {"map-z", "A:B:N", 0, NO_TEXT, ABOUT_MAP_Z, grid, nullptr, true, &Options::map_z},
    {"map-force", "A:B:N", 0, NO_TEXT, ABOUT_MAP_FORCE, grid, nullptr, true, &Options::map_force},
    {"map-transient", "N", 0, NO_TEXT, ABOUT_MAP_TRANSIENT, periods, nullptr, true,
     &Options::map_transient},
    {"map-window", "N", 0, NO_TEXT, ABOUT_MAP_WINDOW, periods, nullptr, true, &Options::map_window},
    {"map-periods", "N", 0, NO_TEXT, ABOUT_MAP_PERIODS, periods, nullptr, true,
     &Options::map_periods},
    {"map", "", KEY_F8, PAGE_MAP, ABOUT_MAP, tool, nullptr, false},
    // Lessons: listed, a lesson's steps printed, a step opened; the page's Lessons panel.
    {"lesson", "ID|list", 0, PAGE_LESSONS, ABOUT_LESSON, lesson, nullptr, true},
    {"step", "K", 0, NO_TEXT, ABOUT_LESSON_STEP, lesson_step, nullptr, true},
};

// Keys that type nothing printable, but for F1 ... F12: cap, and a browser's name.
constexpr struct {
    int key;
    const char* cap;
    const char* event_name;
} NAMED_KEYS[] = {
    {KEY_ESC, "ESC", "Escape"}, {KEY_LEFT, "Left", "ArrowLeft"}, {KEY_UP, "Up", "ArrowUp"},
    {KEY_RIGHT, "Right", "ArrowRight"}, {KEY_DOWN, "Down", "ArrowDown"},
};

bool is_function_key(int key)
{
    return key >= KEY_F1 && key <= KEY_F12;
}

// The number a control's texts name: the most frames --frames takes; the frames
// --export-motion and --export-strobe write without --frames; the most seconds of --seconds;
// the step of z, by hand and swept; how far F7 sweeps either side.
std::string number_named(const Control& control)
{
    if (control.kind == frames)
        return std::to_string(MAX_FRAMES);
    const auto* number = std::get_if<std::optional<double> Options::*>(&control.target);
    if (number != nullptr && *number == &Options::seconds)
        return std::to_string(MAX_AUDIO_SECONDS);
    if (control.kind == ratios || control.kind == step)
        return shortest_digits(SWEEP_DEFAULT_STEP);
    if (control.key == KEY_F7)
        return shortest_digits(SWEEP_HALF_RANGE);
    const auto* path = std::get_if<std::string Options::*>(&control.target);
    if (path != nullptr && *path == &Options::export_strobe)
        return std::to_string(STROBE_FRAMES);
    return path != nullptr && *path == &Options::export_motion ? std::to_string(MOTION_FRAMES) : "";
}

}  // namespace

const std::span<const Control> CONTROLS = CONTROL_TABLE;

const Control* control_named(std::string_view name)
{
    for (const Control& control : CONTROLS)
        if (control.name != nullptr && name == control.name)
            return &control;
    return nullptr;
}

namespace {

bool same_name(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool is_called(const Control& control, std::string_view name)
{
    if (control.name == nullptr)
        return false;
    if (same_name(name, link_name(control)))
        return true;
    for (std::string_view others = control.other_names != nullptr ? control.other_names : "";
         !others.empty();) {
        const std::size_t bar = std::min(others.find('|'), others.size());
        if (same_name(name, others.substr(0, bar)))
            return true;
        others.remove_prefix(std::min(bar + 1, others.size()));
    }
    return false;
}

}  // namespace

const Control* linked_control_named(std::string_view name)
{
    for (const Control& control : CONTROLS)
        if (control.in_link && is_called(control, name))
            return &control;
    return nullptr;
}

const Control* control_for_key(int key)
{
    if (key == 0)
        return nullptr;
    for (const Control& control : CONTROLS)
        if (control.key == key)
            return &control;
    return nullptr;
}

const char* link_name(const Control& control)
{
    return control.link_name != nullptr ? control.link_name : control.name;
}


bool is_option(const Control& control)
{
    return control.name != nullptr && control.kind != key && control.kind != view &&
           control.kind != tool && control.kind != step;
}

bool platform_acts(const Control& control)
{
    return control.kind == tool && control.act == nullptr;
}

std::string key_cap(int key)
{
    if (is_function_key(key)) {
        std::string cap = "F";
        return cap += std::to_string(key - KEY_F1 + 1);
    }
    for (const auto& named : NAMED_KEYS)
        if (named.key == key)
            return named.cap;
    return std::string(1, static_cast<char>(key));
}

std::string key_event_name(int key)
{
    for (const auto& named : NAMED_KEYS)
        if (named.key == key)
            return named.event_name;
    return key_cap(key);
}

std::string control_words(const Control& control, Text id, Language language)
{
    const std::string number = number_named(control);
    return number.empty() ? std::string(text_in(language, id))
                          : fill_text(text_in(language, id), {number});
}

std::string control_text(const Control& control, Text id, Language language)
{
    std::string text = control_words(control, id, language);
    if (control.key >= FIRST_NAMED_KEY)
        text += " (" + key_cap(control.key) + ")";
    return text;
}

void apply_view_key(unsigned char key)
{
    const Control* control = control_for_key(key);
    if (control != nullptr && control->kind == view && control->act != nullptr)
        control->act();
}
