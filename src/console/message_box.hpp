#pragma once
// Message dialogs: a read-only text over a centred row of buttons, the
// plain list box, the key-code table of the window system, and the
// diagnostic box bound to Ctrl+F12.
#include <optional>
#include <string>
#include <vector>
#include "console/dialog.hpp"
#include "runtime/core/value.hpp"

namespace qv::console {

// The message (";" breaks lines; an array gives one line per element) in a
// dialog with the given buttons; returns the number of the button pressed,
// 0 when the dialog was left with Esc.
int SHOWMSG(const rt::Value& message, const std::vector<std::string>& buttons = {"&Fechar"},
            const std::string& title = {});
// The pixel size SHOWMSG gives its dialog: 100 + the wider of the buttons
// (90 each) and the widest line (trimmed, at most 50 characters); 120 high
// plus 25 a line break (at most 5) and 50 for a title.
PixelSize message_dialog_size(const std::vector<std::string>& lines, std::size_t buttons, bool titled);
// One element per line (text, dates, logicals and numbers as text, other
// values empty), with an "Ok" button.
void HQOUT(const rt::Value& lines);
// The console key of a window-system key code; letters come lower case
// unless Caps Lock is on.
int MHKEY(int virtual_key, bool caps_lock = false);
// The diagnostic lines of LISTAFUNCAO (without the dialog).
std::vector<std::string> diagnostic_lines();
// The diagnostic box: the routines active, the build's defines, the
// program's settings and its command line.
void LISTAFUNCAO();

// Registers SHOWMSG, HQOUT, MHKEY, SETCOLORINFOCUS and LISTAFUNCAO for the
// routines that call them by name.
void register_console_routines();

}  // namespace qv::console
