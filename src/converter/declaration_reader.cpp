// CONV_DECL: the records of a declaration, step by step in the order of the
// file; a record of a type no step expects is reported and passed over.
#include <string>

#include "converter/conversion.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::converter {

using rt::operator""_cp;

Conversion::Conversion(const DeclarationFile& f, int k, std::vector<std::string>& r) : file(f), kind(k), report(r) {
    cpf = f.line(1).raw(3, 13);
    for (std::size_t i = 2; i < f.texts.size(); ++i) {
        const std::string type(f.line(i).type());
        if (type == "T9") break;
        if (!expected_type(type)) {
            warn("registro do tipo " + type + " não esperado, ignorado"_cp);
            continue;
        }
        runs[type].push_back(i);
    }
}

std::vector<Line> Conversion::run(std::string_view type) const {
    std::vector<Line> lines;
    if (const auto at = runs.find(std::string(type)); at != runs.end())
        for (const std::size_t i : at->second) lines.push_back(file.line(i));
    return lines;
}

bool expected_type(std::string_view type) {
    if (type == "80" || type == "81") return true;
    if (type.size() != 2 || type[0] < '1' || type[0] > '6' || type[1] < '0' || type[1] > '9') return false;
    const int n = (type[0] - '0') * 10 + (type[1] - '0');
    return n >= 17 && n <= 69 && n != 48 && n != 57;
}

void CONV_DECL(Conversion& c) {
    convert_register(c);
    convert_summary_records(c);
    convert_income_records(c);
    convert_monthly_income(c);
    convert_dependants(c);
    convert_monthly_deductions(c);
    convert_payments(c);
    convert_assets(c);
    convert_debts(c);
    convert_estate_and_departure(c);
    convert_exclusive_income(c);
    convert_stock_market(c);
    convert_accumulated_income(c);
    convert_rural(c);
    convert_heirs(c);
}

}  // namespace qv::converter
