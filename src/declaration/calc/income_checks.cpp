#include "declaration/calc/income_checks.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kBaseYear = 2011;
constexpr const char* kExemptField = "I1_17";

// Whole years completed on the last day of the base year.
int age_at_year_end(rt::Date birth) {
    int age = kBaseYear - birth.year();
    const rt::Date birthday = rt::Date::from_ymd(kBaseYear, birth.month(), birth.month() == 2 && birth.day() == 29 ? 28 : birth.day());
    if (birthday > rt::Date::from_ymd(kBaseYear, 12, 31)) --age;
    return age;
}

bool says_yes(const std::vector<std::string>& question) { return common::AVISOSN(question, 2).as_string() == "S"; }

std::string occupation() { return rt::ALLTRIM(text("CODAT")); }

// The same column in the other rows of the income list.
double exempt_of_other_rows() {
    rt::table::Table* t = work_table(kIncomeArea);
    const std::uint32_t current = t ? t->recno() : 0;
    double total = 0.0;
    for_each_row(kIncomeArea, [&](rt::table::Table& r) {
        if (r.recno() != current) total += field_number(r, kExemptField);
    });
    return total;
}

void offer_excess_as_taxable(double limit, double excess) {
    rt::table::Table* t = work_table(kIncomeArea);
    const double taxable = t && !t->eof() ? field_number(*t, "I1_4") : 0.0;
    const std::vector<std::string> question{
        "O limite para esse ano é de R$ "_cp + rt::TRANSFORM(rt::Value(limit), "@EZ 999,999.99") + " e o valor",
        "de R$ " + rt::TRANSFORM(rt::Value(excess), "@EZ 999,999.99") + (taxable == 0.0 ? " lançado" : " somado") +
            " no rendimento tributável"_cp,
        "       Deseja que o programa faça isso ?"_cp};
    if (!says_yes(question) || !t || t->eof()) return;
    t->put("I1_4", rt::Value(taxable + excess));
}

}  // namespace

double retirement_exempt_limit(int birth_year, int birth_month) {
    if (birth_year != kBaseYear - 65) return amount("NVALAPOSA");
    double limit = 0.0;
    for (int m = birth_month; m <= 13; ++m) limit += element("NVALAPOSE", m <= 3 ? 1 : 2);
    return limit;
}

double LIMIT3(double nValue, int nMode) {
    if (nValue == 0.0) return 0.0;
    const rt::Date birth = date("NASCIMENTO");
    if (birth.empty() || age_at_year_end(birth) < 65) {
        common::AVISOSN("O contribuinte tem menos de 65 anos;e não pode usar desse beneficio!"_cp);
        return 0.0;
    }
    if (occupation() != "61" &&
        !says_yes({"ATENÇÃO! Esse campo só pode ser usado por"_cp, " aposentados, reformados ou pensionistas.",
                   "A situação é essa mesmo c/código errado? "_cp}))
        return 0.0;
    const double limit = retirement_exempt_limit(birth.year(), birth.month());
    const double excess = std::min(nValue + exempt_of_other_rows() - limit, nValue);
    double stored = nValue;
    if (excess > 0.0) {
        offer_excess_as_taxable(limit, excess);
        stored = nValue - excess;
    }
    if (nMode == 1) {
        rt::table::Table* t = work_table(kIncomeArea);
        if (t && !t->eof() && t->field_index(kExemptField) >= 0) t->put(kExemptField, rt::Value(stored));
    }
    return stored;
}

double LIMIT2(double nValue) {
    if (nValue == 0.0) return 0.0;
    if (occupation() == "62") return nValue;
    if (says_yes({"ATENÇÃO! Esse campo só pode ser usado  "_cp, "por aposentados ou reformados. Preencha",
                  "o código correto da natureza na tela 6."_cp, " Você deseja usá-lo assim mesmo ?      "_cp}))
        return nValue;
    return 0.0;
}

}  // namespace qv::declaration
