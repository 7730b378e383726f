#pragma once
// ALERT: a modal question in a box centred on the screen. The message's lines
// are split on ";" (and long lines wrapped); the buttons sit on one row
// under it. Left/Right (and Tab/Shift+Tab) move between the buttons, Enter
// chooses the highlighted one, a button's first letter chooses it at once,
// Esc answers 0. The screen under the box is restored.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt {

// colour: "box,selected button" ("W+/R,W+/B" when empty); one colour gives
// the selected button its inverse. Returns the 1-based button chosen, 0 for
// Esc. No buttons means one "Ok". `first` is the button highlighted when
// the box opens, the one Enter chooses.
int ALERT(std::string_view message, const std::vector<std::string>& buttons = {},
          std::string_view colour = {}, int first = 1);
// How the message's lines sit in the box: each centred (a message), or
// laid as text from the box's left margin (a list whose entries run on
// over several lines).
enum class AlertLines { Centred, Left };

// The message already split into lines (no ";" splitting).
int ALERT(const std::vector<std::string>& lines, const std::vector<std::string>& buttons,
          std::string_view colour = {}, int first = 1, AlertLines laid = AlertLines::Centred);

// A wait shown as an alert: `done` is asked at once and then every
// `poll_seconds` while no key comes, and once it answers true the box goes
// by itself and -1 is returned; otherwise as ALERT.
int ALERT_UNTIL(const std::vector<std::string>& lines, const std::vector<std::string>& buttons,
                std::string_view colour, const std::function<bool()>& done, double poll_seconds = 0.5);

// The widest row a line too long for the screen is broken into.
constexpr std::size_t ALERT_LINE_WIDTH = 60;

}  // namespace qv::rt
