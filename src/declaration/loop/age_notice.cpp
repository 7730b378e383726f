#include "declaration/loop/age_notice.hpp"

#include <array>
#include <string>

#include "common/globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kBaseYear = 2011;
// Screen places of the age: on the identification page they fall on the
// frame's top line, between its labels, and the birthday notice above it;
// the page's own rows are left to its fields. The years stand one column
// before the months' label so that "anos" keeps a blank on both sides
// whatever the number of months ("41 anos 10 meses").
constexpr int kNoticeRow = 1, kNoticeCol = 54;
constexpr int kAgeRow = 2, kYearsCol = 62, kMonthsCol = 71;

std::string birthday_notice(rt::Date birth, rt::Date today, bool& warn) {
    warn = true;
    const int days_before = birth.day() - today.day();
    if (days_before == 0) return "Faz Aniversário Hoje  "_cp;
    if (days_before == 1) return "Faz Aniversário Amanha"_cp;
    warn = false;
    if (days_before < 2 || days_before > 5) return {};
    static const std::array<const char*, 7> weekdays{"o Domingo", "a Segunda", "a Terça  ", "a Quarta ",
                                                     "a Quinta ", "a Sexta  ", "o Sábado "};
    const rt::Date birthday = rt::Date::from_ymd(today.year(), today.month(), birth.day());
    return "Aniversário n"_cp + rt::utf8_to_cp850(weekdays[static_cast<std::size_t>(rt::DOW(birthday) - 1)]);
}

}  // namespace

bool DIZANOS(rt::Date birth) {
    const rt::Date today = rt::DATE();
    if (birth.empty() || birth > rt::Date::from_ymd(kBaseYear, 12, 31)) {
        rt::at_say(kAgeRow, kYearsCol, "   ");
        rt::at_say(kAgeRow, kMonthsCol, "  ");
        return true;
    }
    if (birth.month() == today.month()) {
        bool warn = false;
        const std::string notice = birthday_notice(birth, today, warn);
        if (!notice.empty()) {
            if (warn)
                rt::at_say(kNoticeRow, kNoticeCol, notice, rt::parse_colour(common::Global{"CORATEN"}.text("R/W*")));
            else
                rt::at_say(kNoticeRow, kNoticeCol, notice);
        }
    }
    rt::at_say(kAgeRow, kYearsCol, rt::STR(kBaseYear - birth.year(), 3));
    rt::at_say(kAgeRow, kMonthsCol, rt::STR(12 - birth.month(), 2));
    return true;
}

}  // namespace qv::declaration
