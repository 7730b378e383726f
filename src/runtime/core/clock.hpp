#pragma once
// The one source of "today" and of the time of day. Tests fix it; several
// routines behave differently from a given day on.
#include <functional>
#include <string>
#include "runtime/core/date.hpp"

namespace qv::rt {

Date DATE();          // today
double SECONDS();     // seconds since midnight, with hundredths
std::string TIME();   // "hh:mm:ss"

// Fixes the clock: today and the seconds since midnight. Until reset_clock()
// both come from the fixed values (seconds may be advanced by tests).
void set_clock(Date today, double seconds_since_midnight = 0.0);
void advance_clock(double seconds);
void reset_clock();   // back to the system clock

}  // namespace qv::rt
