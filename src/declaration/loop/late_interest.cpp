#include "declaration/loop/late_interest.hpp"

#include <algorithm>
#include <string>

#include "common/messages.hpp"
#include "common/text_helpers.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kSelicTable = 51;
constexpr int kCorrectedTable = 44;
constexpr int kRegisterCode = 9;
constexpr int kCorrectedGrid = 26;
constexpr int kQuotaDarf = 5;

std::string year_month(rt::Date d) { return rt::DTOS(d).substr(0, 6); }

void notice(std::string_view text) { common::AVISO(text, 11, common::CENTER(text)); }

// The register rows with a balance, and each one's refund or first quota
// with its interest.
void fill_corrected_list(rt::table::Table& list, rt::table::Table& reg, double interest) {
    list.zap();
    for (reg.go_top(); !reg.eof(); reg.skip()) {
        const double balance = field_number(reg, "IMPPGRE");
        if (balance == 0.0) continue;
        list.append_blank();
        for (const char* f : {"CPF", "NOMECONTR", "IMPPGRE", "QTD_QUOTA"})
            if (list.field_index(f) >= 0 && reg.field_index(f) >= 0) list.put(f, reg.get(f));
        const double principal = balance < 0.0 ? -balance
            // A balance to pay with no quota count is paid in one quota.
            : balance / std::max(1.0, field_number(reg, "QTD_QUOTA"));
        const double interest_value = principal * interest / 100.0;
        list.put(balance < 0.0 ? "RESTITU" : "IMPOSTO", rt::Value(principal));
        if (list.field_index("VALJURO") >= 0) list.put("VALJURO", rt::Value(interest_value));
        list.put("CORRIGI", rt::Value(principal + interest_value));
        list.commit();
    }
    list.go_top();
}

}  // namespace

double ACHAJURO(int nMode, std::string_view cMonth) {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    const std::string from = nMode == 1 ? year_month(due) : std::to_string(due.year()) + "04";
    const std::string to = nMode == 1 ? year_month(paid) : std::to_string(paid.year()) + std::string(cMonth);
    if (from > to) return 0.0;
    auto& ws = tables::ws();
    const bool was_open = ws.table(kSelicTable) != nullptr;
    const int previous = ws.selected();
    if (!was_open && !tables::ABERTURA(kSelicTable)) return 1.0;
    rt::table::Table& rates = *ws.table(kSelicTable);
    // 1 % for the month of payment, the SELIC of each month in between.
    double result = 1.0;
    if (rates.seek(rt::Value(from))) {
        for (rates.skip(); !rates.eof() && rates.get("ANOMES").as_string() < to; rates.skip())
            result += field_number(rates, "TJM");
    }
    if (!was_open) ws.close(kSelicTable);
    ws.select(previous);
    return result;
}

void IMPCORRIG() {
    const rt::Date today = rt::DATE();
    if (today < rt::Date::from_ymd(2012, 5, 1)) {
        notice(today.year() < 2012 ? "Funçao só utilizavel após mês de Maio de 2012"_cp
                                   : "Funçao só utilizavel após mês de Maio"_cp);
        return;
    }
    set_value("DF_VCTO", rt::Value(rt::Date::from_ymd(2012, 4, 30)));
    set_value("DF_PGTO", rt::Value(today));
    set_value("QUEDARF", rt::Value(kQuotaDarf));
    const double interest = ACHAJURO(2, rt::STRZERO(today.month(), 2));
    set_value("DF_JURO", rt::Value(interest));
    auto& ws = tables::ws();
    const int previous = ws.selected();
    if (!tables::ABERTURA(kCorrectedTable)) {
        notice("Opção sendo usada em outro terminal"_cp);
        ws.select(previous);
        return;
    }
    const bool register_open = ws.table(kRegisterCode) != nullptr;
    if (register_open || tables::ABERTURA(kRegisterCode)) {
        fill_corrected_list(*ws.table(kCorrectedTable), *ws.table(kRegisterCode), interest);
        if (!register_open) ws.close(kRegisterCode);
        ws.select(kCorrectedTable);
        call_if_present("EDITA", {rt::Value(kCorrectedGrid)});
    }
    ws.close(kCorrectedTable);
    ws.select(previous);
}

}  // namespace qv::declaration
