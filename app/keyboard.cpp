// Keyboard commands.
#include "app/keyboard.h"

#include "app/map_view.h"
#include "app/show_frame.h"
#include "core/state.h"

namespace {

// What a character that is no control's does: as 's', no change of view and the next frame.
constexpr Control ANY_OTHER_KEY = {nullptr, "", 0, NO_TEXT, NO_TEXT, ControlKind::view, nullptr, false};

}  // namespace

void press_control(const Control& control)
{
    // A key that draws the picture or runs a dialog shows the picture again; a tool (F1, F2,
    // F8) leaves the map shown.
    if (control.kind != ControlKind::tool)
        leave_map_view();
    if (control.kind == ControlKind::layer) {
        bool* shown = std::get<bool*>(control.target);
        *shown = !*shown;
    } else if (control.act != nullptr) {
        control.act();
    }
    if (control.kind == ControlKind::view || control.kind == ControlKind::layer ||
        control.kind == ControlKind::step)
        show_frame();
}

void on_keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    command_key = static_cast<char>(key);
    const Control* control = control_for_key(key);
    press_control(control != nullptr ? *control : ANY_OTHER_KEY);
}
