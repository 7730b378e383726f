#include "office/selic_rates.hpp"

#include "common/avisosn.hpp"
#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "office/office_settings.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using rt::operator""_cp;

namespace {

constexpr int kRatesArea = 51;
const common::Global kMonth("MES_UFIR");
const common::Global kYear("ANO_UFIR");

std::string key_of(int year, int month) { return rt::STRZERO(year, 4) + rt::STRZERO(month, 2); }

rt::table::Table* rates() {
    if (!tables::ws().table(kRatesArea) && !tables::ABERTURA(kRatesArea)) return nullptr;
    return tables::ws().table(kRatesArea);
}

void look_up(int year, int month, std::string_view multiplier, std::string_view rate) {
    rt::table::Table* t = rates();
    const bool found = t && t->seek(rt::Value(key_of(year, month)));
    common::Global(multiplier).set(found ? t->get("MULTIPL") : rt::Value(0));
    common::Global(rate).set(found ? t->get("TJM") : rt::Value(1));
    rt::at_say(11, 38, rt::TRANSFORM(common::Global(rate).value(), "@Ez 999.99"));
}

// The first month without a rate after the last one that has it.
void first_month_without_rate() {
    rt::table::Table* t = rates();
    int year = rt::DATE().year(), month = rt::DATE().month();
    if (t) {
        t->go_bottom();
        while (!t->bof() && !t->eof() && t->get("TJM").as_number() == 0) t->skip(-1);
        if (!t->bof()) t->skip(1);
        if (t->eof()) t->go_bottom();
        const std::string key = t->get("ANOMES").as_string();
        if (key.size() == 6) {
            year = std::stoi(key.substr(0, 4));
            month = std::stoi(key.substr(4, 2));
        }
    }
    kYear.set(rt::Value(year));
    kMonth.set(rt::Value(month));
}

bool store_rate() {
    rt::table::Table* t = rates();
    if (!t) return false;
    tables::ws().select(kRatesArea);
    const std::string key = key_of(kYear.integer(), kMonth.integer());
    const bool locked = t->seek(rt::Value(key)) ? tables::REC_LOCK(5) : tables::ADD_REC(5);
    if (!locked) return false;
    t->put("ANOMES", rt::Value(key));
    t->put("SIMB_MOED", rt::Value("R$  "));
    t->put("TJM", common::Global("TJM").value());
    t->commit();
    t->unlock();
    return write_define({"VAL_CPMF"});
}

}  // namespace

bool BUSMES(int month, std::string_view multiplier, std::string_view rate) {
    if (month < 1 || month > 12) return false;
    rt::at_say(9, 44, rt::PADR(common::TRAZ_MES(month), 10));
    look_up(kYear.integer(rt::DATE().year()), month, multiplier, rate);
    return true;
}

bool BUSANO(int year, std::string_view multiplier, std::string_view rate) {
    look_up(year, kMonth.integer(1), multiplier, rate);
    return true;
}

void CAD_UFIR() {
    declaration::MTELA2(2);
    first_month_without_rate();
    BUSMES(kMonth.integer(1), "MULTIPL", "TJM");
    load_define({"VAL_CPMF"});
    while (true) {
        rt::at_get(9, 38, "M->MES_UFIR", "@ 99").valid([] { return BUSMES(kMonth.integer(), "MULTIPL", "TJM"); });
        rt::at_get(10, 38, "M->ANO_UFIR", "@ 9999").valid([] { return BUSANO(kYear.integer(), "MULTIPL", "TJM"); });
        rt::at_get(11, 38, "M->TJM", "@Ez 999.99");
        // Esc leaves as "Ignora" does, writing nothing.
        if (!rt::READ()) break;
        const std::string answer = common::AVISOSN("Confirma a alteração ?"_cp, 3).as_string();
        if (answer == "I") break;
        if (answer == "S") {
            store_rate();
            break;
        }
    }
    declaration::close_dialog("MTELA2", 2);
    common::FECHAJAN(5);
}

}  // namespace qv::office
