#include "office/calendar.hpp"

#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

// The box holds the whole week: Saturday's days end at column 66.
constexpr int kTop = 5, kLeft = 20, kBottom = 21, kRight = 69;

CalendarDay shown() {
    const rt::Value v = Global{"DATCALEN"}.value();
    if (v.is_date() && !v.as_date().empty()) {
        const rt::Date d = v.as_date();
        return {d.day(), d.month(), d.year()};
    }
    const rt::Date today = rt::DATE();
    return {Global{"DIA"}.integer(today.day()), Global{"MESCALEN"}.integer(today.month()),
            Global{"ANOCALEN"}.integer(today.year())};
}

rt::Date as_date(const CalendarDay& d) { return rt::Date::from_ymd(d.year, d.month, d.day); }

void keep(const CalendarDay& d) {
    Global{"DIA"}.set(rt::Value(d.day));
    Global{"MESCALEN"}.set(rt::Value(d.month));
    Global{"ANOCALEN"}.set(rt::Value(d.year));
    Global{"DATCALEN"}.set(rt::Value(as_date(d)));
}

CalendarDay previous_month(CalendarDay d) {
    if (--d.month == 0) d.month = 12, --d.year;
    return d;
}

CalendarDay next_month(CalendarDay d) {
    if (++d.month == 13) d.month = 1, ++d.year;
    return d;
}

rt::Date hoje() {
    const rt::Value v = Global{"HOJE"}.value();
    return v.is_date() && !v.as_date().empty() ? v.as_date() : rt::DATE();
}

}  // namespace

int days_in(int month, int year) {
    switch (month) {
        case 2: return rt::days_in_month(year, 2);
        case 4: case 6: case 9: case 11: return 30;
        default: return 31;
    }
}

int VE_MES(int month) {
    const int n = days_in(month, Global{"ANOCALEN"}.integer(rt::DATE().year()));
    Global{"NRODIA"}.set(rt::Value(n));
    return n;
}

std::string QUEMES(int month) {
    static const char* const names[] = {"Janeiro  ", "Fevereiro", "Marco    ", "Abril    ",
                                        "Maio     ", "Junho    ", "Julho    ", "Agosto   ",
                                        "Setembro ", "Outubro  ", "Novembro ", "Dezembro "};
    const std::string name = month >= 1 && month <= 12 ? names[month - 1] : std::string(9, ' ');
    Global{"NOM_MES"}.set(rt::Value(name));
    return name;
}

CalendarDay calendar_move(CalendarDay d, int key) {
    const int days = days_in(d.month, d.year);
    switch (key) {
        case rt::key::PGUP: d = previous_month(d); break;
        case rt::key::PGDN: d = next_month(d); break;
        case rt::key::RIGHT:
            if (++d.day > days) d = next_month(d), d.day = 1;
            return d;
        case rt::key::LEFT:
            if (--d.day < 1) d = previous_month(d), d.day = days_in(d.month, d.year);
            return d;
        case rt::key::DOWN:
            d.day += 7;
            if (d.day > days) d.day -= days, d = next_month(d);
            return d;
        case rt::key::UP:
            d.day -= 7;
            if (d.day <= 0) d = previous_month(d), d.day += days_in(d.month, d.year);
            return d;
        default: return d;
    }
    d.day = std::min(d.day, days_in(d.month, d.year));
    return d;
}

void ENCHECAL() {
    const CalendarDay d = shown();
    const rt::Date date = as_date(d);
    const int first_dow = rt::Date::from_ymd(d.year, d.month, 1).dow();   // 1 = Sunday
    std::string head = rt::TRANSFORM(rt::Value(d.day), "@z 99") + " de " + QUEMES(d.month) + " de " +
                       rt::TRANSFORM(rt::Value(d.year), "@z 9999");
    const int difference = date.empty() ? 0 : std::abs(date - hoje());
    if (difference != 0)
        head += " diferença de "_cp + rt::TRANSFORM(rt::Value(difference), "@z 9999") +
                (difference == 1 ? " dia" : " dias");
    // The longest month and a four-digit difference fill the line to the frame.
    rt::at_say(kTop + 1, kLeft + 2, rt::PADR(head, kRight - kLeft - 2));
    rt::at_say(kTop + 2, kLeft + 2, "Data de Hoje " + rt::DTOC(hoje()));
    const int days = days_in(d.month, d.year);
    const rt::Attr normal = rt::colour_slot(0), highlight = rt::parse_colour(Global{"CORATEN"}.text("R/W")),
                   sunday_selected = rt::parse_colour(Global{"COR_2_CLI"}.text("W+/R"));
    for (int cell = 0; cell < 42; ++cell) {
        const int day = cell - (first_dow - 1) + 1;
        const int row = kTop + 4 + (cell / 7) * 2, col = kLeft + 3 + (cell % 7) * 7;
        if (day < 1 || day > days) {
            rt::at_say(row, col, "  ", normal);
            continue;
        }
        const bool sunday = cell % 7 == 0, selected = day == d.day;
        const rt::Attr attr = sunday && selected ? sunday_selected : (sunday || selected ? highlight : normal);
        rt::at_say(row, col, rt::TRANSFORM(rt::Value(day), "99"), attr);
    }
}

void FOLHINHA() {
    // The whole screen: the calendar's window is the background box's
    // (window 7), whose opening puts back what lay under that box.
    const std::string saved = rt::SAVESCREEN();
    CalendarDay d = shown();
    keep(d);
    Global{"VOLTOU"}.set(rt::Value(false));
    Global{"LDIRETO"}.set(rt::Value(false));
    declaration::MOSTELA4();
    common::MENS(0, "Setas muda o dia - PgUp/PgDn muda mês HOME=hoje END=atu.data ESC=Sai"_cp);
    rt::SETCURSOR(0);
    for (bool redraw = true;;) {
        if (redraw) ENCHECAL();
        const int key = rt::INKEY(-1);
        redraw = true;
        if (key == rt::key::ESC || key == ' ') break;
        if (key == rt::key::ENTER) {
            Global{"VOLTOU"}.set(rt::Value(true));
            Global{"LDIRETO"}.set(rt::Value(true));
            break;
        }
        if (key == rt::key::HOME) {
            const rt::Date today = rt::DATE();
            Global{"HOJE"}.set(rt::Value(today));
            d = {today.day(), today.month(), today.year()};
        } else if (key == rt::key::END) {
            Global{"HOJE"}.set(rt::Value(as_date(d)));
        } else if (key == rt::key::F2) {
            NIVER_MES();
        } else {
            const CalendarDay moved = calendar_move(d, key);
            redraw = !(moved == d);
            d = moved;
        }
        keep(d);
        Global{"DAT_REL"}.set(rt::Value(as_date(d)));
    }
    rt::SETCURSOR(1);
    if (rt::table::Table* t = tables::ws().table()) t->clear_filter();
    Global{"HOJE"}.set(Global{"DATCALEN"}.value());
    Global{"CARDIA"}.set(rt::Value(rt::STRZERO(d.day, 2)));
    Global{"CARMES"}.set(rt::Value(rt::STRZERO(d.month, 2)));
    Global{"CARANO"}.set(rt::Value(rt::STRZERO(d.year, 4)));
    common::MENS();
    if (common::window_saved(7)) common::FECHAJAN(7);
    rt::RESTSCREEN(saved);
}

void register_calendar_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto n = [](Args a) { return !a.empty() && a[0].is_number() ? static_cast<int>(a[0].as_number()) : 0; };
        rt::register_function("FOLHINHA", [](Args) { FOLHINHA(); return rt::Value(); });
        rt::register_function("ENCHECAL", [](Args) { ENCHECAL(); return rt::Value(); });
        rt::register_function("NIVER_MES", [](Args) { NIVER_MES(); return rt::Value(); });
        rt::register_function("VE_MES", [n](Args a) { return rt::Value(VE_MES(n(a))); });
        rt::register_function("QUEMES", [n](Args a) { return rt::Value(QUEMES(n(a))); });
    });
}

}  // namespace qv::office
