#include "declaration/grids/dependant_delete.hpp"

#include <cstdint>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr int kIncome = 22, kDependants = 23, kPayments = 26, kMonthly = 32;

bool says_yes(const std::vector<std::string>& question) { return common::asks_yes_default_no(question); }

// The records of `area` (all of them, deleted ones aside) that pass `keep`.
template <class Keep>
std::vector<std::uint32_t> rows_of(int area, Keep keep) {
    std::vector<std::uint32_t> rows;
    tb::Table* t = tables::ws().table(area);
    if (!t) return rows;
    for (std::uint32_t r = 1; r <= t->lastrec(); ++r) {
        t->go_to(r);
        if (!t->deleted() && keep(*t)) rows.push_back(r);
    }
    return rows;
}

bool locked_at(int area, std::uint32_t r) {
    tables::ws().select(area);
    tables::ws().current(area).go_to(r);
    return tables::REC_LOCK();
}

void delete_rows(int area, const std::vector<std::uint32_t>& rows) {
    tb::Table& t = tables::ws().current(area);
    for (const std::uint32_t r : rows) {
        if (!locked_at(area, r)) continue;
        t.delete_record();
        t.commit();
        t.unlock();
    }
}

// Numbers above `gone` in `field` move down by one.
void close_gap(int area, const char* field, double gone) {
    tb::Table& t = tables::ws().current(area);
    for (const std::uint32_t r : rows_of(area, [&](tb::Table& x) { return x.get(field).as_number() > gone; })) {
        if (!locked_at(area, r)) continue;
        t.put(field, Value(t.get(field).as_number() - 1));
        t.commit();
        t.unlock();
    }
}

std::string dependants_filter() {
    switch (vars::OPCIR_1.integer(41)) {
        case 42: return "codidepen >97 .AND. CODIDEPEN <100";
        case 44: return "codidepen >99";
        default: return "codidepen <98";
    }
}

}  // namespace

bool delete_dependant() {
    tb::Table& deps = tables::ws().current(kDependants);
    const std::uint32_t person = deps.recno();
    const double number = deps.get("NRODEPEN").as_number();
    const std::string cpf = rt::TRIM(deps.get("CPFDEPEN").as_string());

    std::vector<std::uint32_t> income, monthly, payments;
    if (!cpf.empty()) {
        income = rows_of(kIncome, [&](tb::Table& t) { return rt::TRIM(t.get("I1_8").as_string()) == cpf; });
        if (tb::Table* m = tables::ws().table(kMonthly); m && m->lastrec() > 1)
            monthly = rows_of(kMonthly, [&](tb::Table& t) { return rt::TRIM(t.get("CPFDEPEN").as_string()) == cpf; });
    }
    if (number > 0)
        payments = rows_of(kPayments, [&](tb::Table& t) { return t.get("I6_6").as_number() == number; });

    if (!monthly.empty()) {
        std::string wording = "P.Física "_cp;
        if (!income.empty()) {
            tb::Table& in = tables::ws().current(kIncome);
            in.go_to(income.front());
            const std::string kind = in.get("I1_1").as_string();
            if (kind == "J" || kind == "A") wording = "PJ e PF  ";
        }
        if (!says_yes({"Esse dependente tem rendimentos recebido de "_cp + wording,
                       "que também serão retirados. Exclui mesmo assim? "_cp}))
            return false;
    }
    if (!payments.empty() && !says_yes({"Dependente/Alimentando tem despesas lancadas em seu nome",
                                        "As despesas também serão excluidas. Confirma?"_cp}))
        return false;

    delete_rows(kMonthly, monthly);
    delete_rows(kIncome, income);
    if (!payments.empty()) delete_rows(kPayments, payments);
    // The people after this one are numbered again one lower: the payments
    // made for them follow, whether or not this one had payments of its own.
    if (number > 0 && tables::ws().table(kPayments)) close_gap(kPayments, "I6_6", number);
    tables::ws().select(kDependants);
    deps.clear_filter();
    delete_rows(kDependants, {person});
    for (const std::uint32_t r : rows_of(kDependants, [](tb::Table&) { return true; })) {
        if (!locked_at(kDependants, r)) continue;
        deps.put("NRODEPEN", Value(0));
        deps.commit();
        deps.unlock();
    }
    rt::call_routine("NRODP");
    tables::ws().select(kDependants);
    deps.set_filter(rt::Expr::compile(dependants_filter()));
    deps.go_top();
    return true;
}

}  // namespace qv::declaration::grids
