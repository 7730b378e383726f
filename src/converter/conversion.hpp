#pragma once
// The state of one declaration file while its records are written into the
// destination folder's declaration tables, and the readers of its records.
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "converter/declaration_file.hpp"

namespace qv::converter {

// Rows: months 1-12 and 13 = year total; columns: income, income from
// abroad, cash-book expenses, social security, tax paid, alimony paid.
using MonthMatrix = std::array<std::array<double, 6>, 13>;

struct Conversion {
    Conversion(const DeclarationFile& f, int k, std::vector<std::string>& r);

    const DeclarationFile& file;
    int kind = 1;                       // 1 full, 2 gains only, 3 receipts only
    std::vector<std::string>& report;   // warnings of the conversion report
    std::string cpf;

    bool y2012() const { return file.is2012(); }
    // The lines of a record type, in file order.
    std::vector<Line> run(std::string_view type) const;
    bool has(std::string_view type) const { return runs.count(std::string(type)) > 0; }
    void warn(const std::string& text) { report.push_back(file.name + ": " + text); }

    std::map<std::string, std::vector<std::size_t>> runs;

    // Dependants kept from records 25 (their numbers, in reading order) and
    // the list of dependants and alimony recipients (50 + number).
    std::vector<int> dependants;
    std::vector<int> household;
    MonthMatrix titular{};
    MonthMatrix dependant{};
    std::string dependant_cpf;
    // (item, kind) of each asset sold, in BEM_NRO order.
    std::vector<std::pair<int, int>> sold;
};

// The record types a declaration file may hold.
bool expected_type(std::string_view type);

// Readers, in the order of the file.
void CONV_DECL(Conversion& c);
void CONV_GANHO(Conversion& c, int mode);
void CONV_EXIG(Conversion& c);

// Parts of CONV_DECL.
void convert_register(Conversion& c);
void convert_summary_records(Conversion& c);      // 17, 19, 23, 24
void convert_income_records(Conversion& c);       // 21, 31-33 and record 23's rows
void convert_exclusive_income(Conversion& c);     // 36, 37
void convert_monthly_income(Conversion& c);       // 22
void convert_monthly_deductions(Conversion& c);   // after 25
void convert_dependants(Conversion& c);           // 25, 35
void convert_payments(Conversion& c);             // 26, 34
void convert_assets(Conversion& c);               // 27
void convert_debts(Conversion& c);                // 28
void convert_estate_and_departure(Conversion& c); // 29, 30, 38, 39
void convert_stock_market(Conversion& c);         // 40-42
void convert_accumulated_income(Conversion& c);   // 45, 47
void convert_rural(Conversion& c);                // 50-56
void convert_heirs(Conversion& c);                // 58, 59

}  // namespace qv::converter
