#pragma once
// AVISOSN: the modal question of the system, a runtime alert box with one of
// a few fixed button sets, in the colour COR_SAY.
//   set 0: "Ok"                    -> ""
//   set 1: "Sim" "Não"             -> 1, 2 (0 for Esc)
//   set 2: "Sim" "Não"             -> "S", "N" (Esc "N")
//   set 3: "Sim" "Não" "Ignore"    -> "S", "N" (Esc "N"), "I"
//   set 4: "Sim" "Não" "Fim"       -> "S", "N" (Esc "N"), "F"
//   set 5: "1" "2" "3"             -> "1", "2", "3" (Esc "0")
//   set 7: "1" .. "7"              -> 1 .. 7 (Esc 0)
//   other: "Sim" "Não"             -> "" (a notice)
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/ui/alert.hpp"

namespace qv::common {

// A text is split into lines at ";" as the alert box does.
rt::Value AVISOSN(std::string_view text, int set = 0);
rt::Value AVISOSN(const std::string& text, int set = 0);
rt::Value AVISOSN(const char* text, int set = 0);
// `laid` Left lays the lines as text instead of centring each (a report).
rt::Value AVISOSN(const std::vector<std::string>& lines, int set = 0, rt::AlertLines laid = rt::AlertLines::Centred);
// The text as a value: a string or an array of lines.
rt::Value AVISOSN(const rt::Value& text, int set);

// A wait in AVISOSN's box, asking `done` every half second: -1 once it
// answers true (the box goes by itself), else the button chosen (0 Esc).
int wait_alert(const std::vector<std::string>& lines, const std::vector<std::string>& buttons,
               const std::function<bool()>& done);

// While a NoticesKept lives, a notice (a box with nothing to answer: set 0
// and the other sets that answer "") is not shown but kept in its list,
// each under the subject given last ("CPF name: text"): a run over many
// declarations does not stop at what the clerk only has to read, and shows
// the list when it ends. Questions are asked as ever. A notice already kept
// for the same subject is not kept twice.
class NoticesKept {
public:
    explicit NoticesKept(std::vector<std::string>& into);
    ~NoticesKept();
    NoticesKept(const NoticesKept&) = delete;
    NoticesKept& operator=(const NoticesKept&) = delete;
    // What the next notices are about; empty for none.
    void about(std::string subject);

private:
    NoticesKept* outer_;
    std::vector<std::string>* into_;
    std::string subject_;
    friend bool notices_kept();
    friend void keep_notice(std::string_view text);
};
// True while notices are kept.
bool notices_kept();
// Keeps a text as a notice under the current subject (shows it when none
// are kept).
void keep_notice(std::string_view text);

// A Sim/Não question whose box opens on "Não", so that Enter keeps things
// as they are: true only for "Sim".
bool asks_yes_default_no(std::string_view question);
bool asks_yes_default_no(const std::vector<std::string>& lines);

// The buttons of a set, CP850.
std::vector<std::string> avisosn_buttons(int set);
// The answer for button number `chosen` (0 = Esc) of a set.
rt::Value avisosn_answer(int set, int chosen);

}  // namespace qv::common
