#include "declaration/calc/tax_table.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kBaseYear = 2011;
constexpr double kRates[4] = {0.075, 0.15, 0.225, 0.275};

int estate_final_months() {
    if (const rt::Date d = date("DATAPARTI"); !d.empty()) return d.month();
    if (const rt::Date d = date("DATALAVRA"); !d.empty()) return d.month();
    common::AVISOSN(std::vector<std::string>{"Na declaração Final o cálculo do Imposto"_cp,
                                             "depende da data Partilha ou Lavratura"_cp});
    return 12;
}

int departure_months() {
    const rt::Date departure = date("DATASAIDA");
    if (departure.empty()) {
        common::AVISOSN(std::vector<std::string>{"Na declaração de saída o cálculo do Imposto"_cp,
                                                 "depende da data da saída. Informe-a"_cp});
        return 12;
    }
    int months = departure.month();
    // A decision taken before the base year counts the whole year up to the
    // departure; the count always stays within one year.
    if (const rt::Date decision = date("DATADECIS"); !decision.empty() && decision.year() == kBaseYear)
        months = months - decision.month() + 1;
    return std::clamp(months, 1, 12);
}

TaxBands monthly_bands(int month) {
    const int col = month_pair_index(month);
    TaxBands b{};
    for (int k = 0; k < 4; ++k) {
        const std::string n = std::to_string(k + 1);
        b.bound[k] = element("NBASEME" + n, col);
        b.deduction[k] = element("NDEDUME" + n, col);
    }
    return b;
}

TaxBands annual_bands(double divisor) {
    TaxBands b{};
    for (int k = 0; k < 4; ++k) {
        const std::string n = std::to_string(k + 1);
        b.bound[k] = divide(amount("NBASEAN" + n), divisor);
        b.deduction[k] = divide(amount("NDEDUAN" + n), divisor);
    }
    return b;
}

}  // namespace

int months_of_annual_table() {
    if (is("DECFINAL", 'S')) return estate_final_months();
    if (is("DECSAIDA", 'S')) return departure_months();
    return 12;
}

double tax_of_bands(const TaxBands& bands, double base) {
    if (base <= bands.bound[0]) return 0.0;
    int band = 3;
    for (int k = 1; k < 4; ++k)
        if (base <= bands.bound[k]) {
            band = k - 1;
            break;
        }
    return no_negative_zero(rt::ROUND(base * kRates[band] - bands.deduction[band], 2));
}

double CALC_IMPOS(int nKind, double nBase, std::string_view cTarget, int nMonth) {
    double tax = 0.0;
    if (nKind == kMonthlyTable) {
        tax = tax_of_bands(monthly_bands(nMonth), nBase);
    } else {
        const double divisor = nKind == kAnnualTable ? 12.0 / months_of_annual_table() : nKind;
        tax = tax_of_bands(annual_bands(divisor), nBase);
    }
    auto& vars = rt::variables();
    const std::string target = rt::VarStore::normalize(cTarget);
    if (!target.empty() && vars.exists(target)) vars.set(target, rt::Value(tax));
    return tax;
}

}  // namespace qv::declaration
