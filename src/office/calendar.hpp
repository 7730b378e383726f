#pragma once
// The month calendar the agenda opens to pick a date, and the birthdays of
// the month added to the agenda as reminders.
#include <string>

namespace qv::office {

// A day of the calendar, kept as numbers while the user moves.
struct CalendarDay {
    int day = 1, month = 1, year = 2000;
    bool operator==(const CalendarDay&) const = default;
};

// Days of `month` in `year` (also kept in NRODIA by the routine below).
int days_in(int month, int year);
int VE_MES(int month);   // of ANOCALEN
// The month's name in 9 characters (NOM_MES); blanks outside 1-12.
std::string QUEMES(int month);

// The day a calendar key leads to; the day itself for keys that do not move.
CalendarDay calendar_move(CalendarDay d, int key);

// The calendar window: arrows move by day and week, PgUp/PgDn by month,
// Home today, End makes the shown date the one returned, F2 the birthdays,
// Enter confirms (VOLTOU, LDIRETO), Esc or Space leave.
void FOLHINHA();
// Paints the month of DATCALEN.
void ENCHECAL();
// Adds the birthdays of month MESCALEN, from every folder of the list, to
// the agenda and says how many there were.
void NIVER_MES();

void register_calendar_routines();

}  // namespace qv::office
