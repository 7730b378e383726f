#include "declaration/loop/late_interest.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
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
// The widest line of the missing-months notice.
constexpr std::size_t kNoticeWidth = 56;

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

// The months ACHAJURO reaches: those after `from`, before `to`.
struct InterestWindow {
    std::string from, to;
};

InterestWindow interest_window(int nMode, std::string_view cMonth) {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
    return {nMode == 1 ? year_month(due) : std::to_string(due.year()) + "04",
            nMode == 1 ? year_month(paid) : std::to_string(paid.year()) + std::string(cMonth)};
}

// "mm/yyyy" of a "yyyymm" month.
std::string shown_month(const std::string& yyyymm) { return yyyymm.substr(4, 2) + "/" + yyyymm.substr(0, 4); }

std::string next_month(const std::string& yyyymm) {
    int year = std::stoi(yyyymm.substr(0, 4)), month = std::stoi(yyyymm.substr(4, 2)) + 1;
    if (month > 12) {
        month = 1;
        ++year;
    }
    return rt::STRZERO(year, 4) + rt::STRZERO(month, 2);
}

}  // namespace

std::vector<std::string> missing_selic_months(int nMode, std::string_view cMonth) {
    const InterestWindow w = interest_window(nMode, cMonth);
    std::vector<std::string> missing;
    const auto month_key = [](const std::string& k) {
        return k.size() == 6 && std::all_of(k.begin(), k.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!month_key(w.from) || !month_key(w.to) || w.from >= w.to) return missing;
    auto& ws = tables::ws();
    const bool was_open = ws.table(kSelicTable) != nullptr;
    const int previous = ws.selected();
    rt::table::Table* rates = was_open || tables::ABERTURA(kSelicTable) ? ws.table(kSelicTable) : nullptr;
    for (std::string m = next_month(w.from); m < w.to; m = next_month(m)) {
        const bool held = rates && rates->seek(rt::Value(m)) && field_number(*rates, "TJM") != 0.0;
        if (!held) missing.push_back(m);
    }
    if (rates && !was_open) ws.close(kSelicTable);
    ws.select(previous);
    return missing;
}

std::vector<std::string> selic_month_runs(const std::vector<std::string>& months) {
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < months.size();) {
        std::size_t j = i;
        while (j + 1 < months.size() && next_month(months[j]) == months[j + 1]) ++j;
        runs.push_back(i == j ? shown_month(months[i]) : shown_month(months[i]) + " a " + shown_month(months[j]));
        i = j + 1;
    }
    return runs;
}

bool warn_missing_selic(const std::vector<std::string>& months, std::string_view left_out) {
    const std::vector<std::string> runs = selic_month_runs(months);
    if (runs.empty()) return false;
    std::vector<std::string> lines{"Atenção! Faltam na tabela da Selic as taxas de"_cp};
    std::string line;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string piece = runs[i] + (i + 1 < runs.size() ? ", " : ".");
        if (!line.empty() && line.size() + piece.size() > kNoticeWidth) {
            lines.push_back(line);
            line.clear();
        }
        line += piece;
    }
    lines.push_back(line);
    lines.emplace_back(left_out);
    lines.push_back("Complete a tabela em Opções, Cadastro SELIC."_cp);
    common::AVISOSN(lines, 0);
    return true;
}

double ACHAJURO(int nMode, std::string_view cMonth) {
    const auto [from, to] = interest_window(nMode, cMonth);
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
