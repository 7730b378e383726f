// Records 22: income received from natural persons month by month, and the
// monthly deductions that follow from it once the dependants are known.
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr double kDependantFirstQuarter = 150.69;   // January to March
constexpr double kDependantRest = 157.47;           // April to December

struct Column {
    int from;            // start column of the amount in record 22
    const char* description;
    const char* letter;
};

// In matrix column order: income, abroad, cash book, social security, tax.
constexpr Column kColumns[] = {{28, "Diversas fontes pagadoras", "F"},
                               {41, "Rendimentos do Exterior", "E"},
                               {54, "Despesas livro caixa", "L"},
                               {93, "INSS", "P"},
                               {119, "Receita Federal", "I"}};
constexpr int kAlimonyFrom = 67;

std::string two(int n) { return rt::STRZERO(n, 2); }

void add_to(MonthMatrix& m, int month, int column, double value) {
    m[month - 1][column] += value;
    m[12][column] += value;
}

void matrix_rows(Conversion& c, const MonthMatrix& m, bool titular) {
    for (int col = 0; col < 5; ++col) {
        bool any = false;
        for (int month = 0; month < 12; ++month) any = any || m[month][col] > 0;
        if (!any) continue;
        tb::Table& t = new_row(2, c.cpf);
        t.put("I1_1", Value(kColumns[col].letter));
        t.put("I1_2", Value(kColumns[col].description));
        t.put("I1_4", Value(m[12][col]));
        t.put("I1_11", Value(titular ? "S" : "N"));
        if (!titular) t.put("I1_8", Value(c.dependant_cpf));
        for (int month = 1; month <= 12; ++month) t.put("I1_4" + two(month), Value(m[month - 1][col]));
    }
}

}  // namespace

void convert_monthly_income(Conversion& c) {
    if (!c.y2012() || !c.has("22")) return;
    for (const Line& l : c.run("22")) {
        const int month = static_cast<int>(l.number(26, 27));
        if (month < 1 || month > 12) continue;
        const bool of_dependant = l.at(14) == 'S';
        MonthMatrix& m = of_dependant ? c.dependant : c.titular;
        if (of_dependant) c.dependant_cpf = l.raw(15, 25);
        for (int col = 0; col < 5; ++col) add_to(m, month, col, l.amount(kColumns[col].from, kColumns[col].from + 12));
        if (!of_dependant) add_to(m, month, 5, l.amount(kAlimonyFrom, kAlimonyFrom + 12));
    }
    matrix_rows(c, c.titular, true);
    matrix_rows(c, c.dependant, false);
    table(2).commit();

    delete_rows(12, c.cpf);
    tb::Table& t = new_row(12, c.cpf);
    for (int month = 1; month <= 12; ++month) {
        const auto& row = c.titular[month - 1];
        t.put("I2_1" + two(month), Value(row[0]));
        t.put("I2_2" + two(month), Value(row[1]));
        t.put("I2_3" + two(month), Value(row[2]));
        t.put("I2_5" + two(month), Value(row[4]));
    }
    t.commit();
}

void convert_monthly_deductions(Conversion& c) {
    if (!c.y2012() || !c.has("22")) return;
    tb::Table& t = table(12);
    t.set_order(1);
    if (!t.seek(Value(c.cpf))) return;
    const double kept = static_cast<double>(c.dependants.size());
    for (int month = 1; month <= 12; ++month) {
        const auto& row = c.titular[month - 1];
        if (row[0] + row[1] <= 0) continue;
        const double per_dependant = month <= 3 ? kDependantFirstQuarter : kDependantRest;
        t.put("I2_4" + two(month), Value(row[3] + row[5] + kept * per_dependant));
    }
    t.commit();
}

}  // namespace qv::converter
