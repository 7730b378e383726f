// The birthdays of a month, from every data folder of the terminal's list,
// added to the agenda.
#include <algorithm>
#include <string>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "office/calendar.hpp"
#include "tables/folder_search.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kAgendaArea = 72;

// Appends one reminder; false when no row could be had in time.
bool remind(const rt::Date birthday, const std::string& name) {
    tables::ws().select(kAgendaArea);
    if (!tables::ADD_REC(2)) return false;
    rt::table::Table& agenda = *tables::ws().table(kAgendaArea);
    agenda.put("DATAG", rt::Value(birthday));
    agenda.put("HORAG", rt::Value("0000"));
    agenda.put("ANOTAG", rt::Value("Aniversario de " + rt::TRIM(name)));
    agenda.put("NOMEAG", rt::Value(Global{"NOMEAG"}.text()));
    agenda.put("AVISAG", rt::Value(false));
    agenda.commit();
    agenda.unlock();
    return true;
}

// The birthdays of one folder's register.
int folder_birthdays(rt::table::Table* reg, int month, int year) {
    int count = 0;
    for (reg->go_top(); !reg->eof(); reg->skip()) {
        const rt::Value born = reg->get("NASCIMENTO");
        if (reg->deleted() || !born.is_date() || born.as_date().month() != month) continue;
        // A birthday on 29 February is remembered on the 28th in other years.
        const rt::Date day = rt::Date::from_ymd(year, month, std::min(born.as_date().day(), rt::days_in_month(year, month)));
        if (remind(day, reg->get("NOMECONTR").as_string())) ++count;
    }
    return count;
}

}  // namespace

void NIVER_MES() {
    const int month = Global{"MESCALEN"}.integer(), year = Global{"ANOCALEN"}.integer();
    int count = 0;
    if (tables::ABERTURA(kAgendaArea))
        tables::for_each_register([&](rt::table::Table& reg) { count += folder_birthdays(&reg, month, year); });
    tables::ws().select(kAgendaArea);
    const std::string text =
        count == 0 ? "Nenhum contribuinte faz aniversário nesse mês"_cp
                   : rt::STR(count, 3) + " contribuinte" + (count == 1 ? " faz" : "s fazem") + " aniversário nesse mês"_cp;
    common::AVISOSN(text, 0);
}

}  // namespace qv::office
