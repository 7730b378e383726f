#pragma once
// The calendar of payments: a due date never falls on a weekend, and in
// December the banks close a day earlier; the first payable day after a due
// date skips the weekend.
#include "runtime/core/date.hpp"

namespace qv::declaration {

// Last working day of month nMonth + nOffset - 1 of nYear (months past
// December run into the following years).
rt::Date ULT_DIA(int nMonth, int nYear, int nOffset);
// The first day after dDate that is not a Saturday or Sunday.
rt::Date PROX_DIA(rt::Date dDate);

}  // namespace qv::declaration
