#include "declaration/loop/age_notice.hpp"

#include <array>
#include <string>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kPageWindow = 3;
constexpr int kBaseYear = 2011;

struct Origin {
    int row = 0, col = 0;
};
Origin page_origin() {
    const common::TextWindow* w = common::find_window(kPageWindow);
    return w ? Origin{w->top, w->left} : Origin{};
}

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
    const Origin at = page_origin();
    const rt::Date today = rt::DATE();
    if (birth.empty() || birth > rt::Date::from_ymd(kBaseYear, 12, 31)) {
        rt::at_say(at.row + 2, at.col + 63, "   ");
        rt::at_say(at.row + 2, at.col + 71, "  ");
        return true;
    }
    if (birth.month() == today.month()) {
        bool warn = false;
        const std::string notice = birthday_notice(birth, today, warn);
        if (!notice.empty()) {
            if (warn)
                rt::at_say(at.row + 1, at.col + 54, notice, rt::parse_colour(common::Global{"CORATEN"}.text("R/W*")));
            else
                rt::at_say(at.row + 1, at.col + 54, notice);
        }
    }
    rt::at_say(at.row + 2, at.col + 63, rt::STR(kBaseYear - birth.year(), 3));
    rt::at_say(at.row + 2, at.col + 71, rt::STR(12 - birth.month(), 2));
    return true;
}

}  // namespace qv::declaration
