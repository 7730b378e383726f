#include "darf/darf_checks.hpp"

#include <string>

#include "common/messages.hpp"
#include "common/globals.hpp"
#include "darf/darf_charges.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_form.hpp"
#include "darf/darf_state.hpp"
#include "declaration/calc/due_dates.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/core/picture.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

constexpr int kBaseYear = 2011;
constexpr int kSettingsArea = 43;
constexpr int kQuotaDates = 8;
constexpr int kSunday = 1;
constexpr int kSaturday = 7;

void refuse(std::string_view text) { common::MENS(11, text); }

bool weekday_payment() {
    const int dow = date("DF_PGTO").dow();
    if (dow == kSunday) refuse("Dia lançado para pagamento é um Domingo"_cp);
    if (dow == kSaturday) refuse("Dia lançado para pagamento é um Sabado"_cp);
    return dow != kSunday && dow != kSaturday;
}

void keep_quota_due_date(int n) {
    rt::Value dates = common::Global{"DAT_VENC"}.value();
    if (!dates.is_array()) dates = rt::Value::array(kQuotaDates);
    if (n < 1 || n > static_cast<int>(dates.as_array()->size())) return;
    (*dates.as_array())[std::size_t(n - 1)] = rt::Value(date("DF_VCTO"));
    set("DAT_VENC", dates);
    store_due_dates();
}

}  // namespace

bool store_due_dates() {
    auto& ws = tables::ws();
    const int previous = ws.selected();
    const bool was_open = ws.table(kSettingsArea) != nullptr;
    if (!was_open && !tables::ABERTURA(kSettingsArea)) return false;
    rt::table::Table& t = *ws.table(kSettingsArea);
    ws.select(kSettingsArea);
    t.go_top();
    bool stored = false;
    if (!t.eof() && tables::REC_LOCK()) {
        const rt::Value dates = common::Global{"DAT_VENC"}.value();
        for (int k = 1; dates.is_array() && k <= kQuotaDates && k <= static_cast<int>(dates.as_array()->size()); ++k) {
            const rt::Value& d = (*dates.as_array())[std::size_t(k - 1)];
            if (d.is_date() && t.field_index("VCTO" + std::to_string(k)) >= 0) t.put("VCTO" + std::to_string(k), d);
        }
        if (t.field_index("VAL_DOLAR") >= 0) t.put("VAL_DOLAR", rt::Value(number("NVALDOLAR")));
        t.commit();
        t.unlock();
        stored = true;
    }
    if (!was_open) ws.close(kSettingsArea);
    ws.select(previous);
    return stored;
}

bool VALI_DATA(int nQuota, int nField) {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    if (nField == 1) {
        const rt::Date first_day = declaration::PROX_DIA(due);
        set("DDATAUTIL", rt::Value(first_day));
        rt::at_say(kWorkdayRow, kValueCol, rt::DTOC(first_day));
        if (kind() == kQuota) keep_quota_due_date(nQuota);
    } else {
        const rt::Date first_day = declaration::PROX_DIA(due);
        if (paid > due && paid < first_day) {
            refuse("O dia p/ pagamento deve ser maior ou igual a " + rt::DTOC(first_day));
            return false;
        }
    }
    if (!weekday_payment()) return false;
    CALCJU(1, 1);
    return true;
}

bool VEATRASO() {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    return paid.year() > due.year() || paid > due;
}

bool VE_MPAG(int nMonth) {
    if (nMonth < 1 || nMonth > 12) return false;
    set("DF_VCTO", rt::Value(ULTIMO_DIA(nMonth, kBaseYear)));
    return true;
}

bool VE_MPG2(int nFirst, int nLast) { return nLast >= 1 && nLast <= 12 && nLast >= nFirst; }

bool CONF_QUOT() { return integer("ULT_QUOTA") >= integer("QUE_QUOTA"); }

}  // namespace qv::darf
