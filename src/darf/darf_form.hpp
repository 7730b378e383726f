#pragma once
// The slip's form on the screen: who it is for, its dates, code, text lines
// and charges, as the dialog edits them.
#include <string>
#include <string_view>
#include <vector>

namespace qv::darf {

// Screen places of the form's entry fields.
inline constexpr int kFormTop = 4;
inline constexpr int kFormLeft = 1;
inline constexpr int kFormBottom = 21;
inline constexpr int kFormRight = 78;
inline constexpr int kPeriodRow = 8;
inline constexpr int kDueRow = 9;
inline constexpr int kWorkdayRow = 10;
inline constexpr int kLinesRow = 12;
inline constexpr int kValueCol = 25;
inline constexpr int kChargesCol = 46;

// Saves the screen under the form and draws its frame.
void open_form();
void close_form();
// Who the slips are for, then every value of the slip loaded.
void show_form();
// Principal, fine, interest and total.
void show_charges();
// The five text lines of the slip.
void show_lines();
// The choice among the items of a dialog's frame (MTELA13 7 the kind of
// DARF, 8 one or several quotas); 0 on Esc.
int pick(std::string_view painter, int number, int initial = 1);

}  // namespace qv::darf
