// Records 40-42: stock-market results month by month and investment funds,
// as variable-income rows (TIPO_BEM 4) of table 07.
#include <array>
#include <map>
#include <utility>
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr int kVariableIncome = 4;
using Months = std::array<double, 12>;

std::string month_field(int month) { return "REC_MES" + rt::STRZERO(month, 2); }

tb::Table& market_row(const Conversion& c, int line, const char* operations) {
    tb::Table& t = new_row(7, c.cpf);
    t.put("TIPO_BEM", Value(kVariableIncome));
    t.put("DAY_TRADE", Value(operations));
    t.put("RVAR_NRO", Value(line));
    return t;
}

bool any_month(const Months& m) {
    for (const double v : m)
        if (v != 0) return true;
    return false;
}

// The statement's lines by line number and kind of operations. The file
// gives some lines twice (the day trade's item 14 and its tax withheld in
// earlier years both go to line 22): they add up into the one row the
// statement keeps per line, as the statement's screen stores it.
class StatementLines {
public:
    void item(int line, const char* operations, int month, double value) {
        lines_[{line, operations}][static_cast<std::size_t>(month - 1)] += value;
    }
    // A value carried into January, kept only when above 0.
    void carried(int line, const char* operations, double value) {
        if (value > 0) item(line, operations, 1, value);
    }
    void write(const Conversion& c) const {
        for (const auto& [key, months] : lines_) {
            if (!any_month(months)) continue;
            tb::Table& t = market_row(c, key.first, key.second.c_str());
            for (int month = 1; month <= 12; ++month) t.put(month_field(month), Value(months[month - 1]));
        }
    }

private:
    std::map<std::pair<int, std::string>, Months> lines_;
};

void stock_months(const Conversion& c, StatementLines& lines) {
    for (const Line& l : c.run("40")) {
        const int month = static_cast<int>(l.number(14, 15));
        if (month < 1 || month > 12) continue;
        for (int item = 1; item <= 13; ++item) {
            lines.item(item, "1", month, l.amount(16 + 13 * (item - 1), 28 + 13 * (item - 1)));
            lines.item(item, "2", month, l.amount(185 + 13 * (item - 1), 197 + 13 * (item - 1)));
        }
        lines.item(22, "2", month, l.amount(354, 366));   // day trade item 14
        lines.item(28, "1", month, l.amount(367, 379));   // common item 14
        lines.item(24, "1", month, l.amount(380, 392));   // common item 15
        if (month != 1) continue;
        lines.carried(15, "1", l.amount(393, 405));
        lines.carried(15, "2", l.amount(406, 418));
        lines.carried(22, "2", l.amount(419, 431));
        lines.carried(25, "1", l.amount(594, 606));
    }
}

// Investment funds: one row per line of the statement, months filled in.
class FundRows {
public:
    explicit FundRows(const Conversion& c) : c_(c) {}
    void put(int line, int month, double value) {
        tb::Table& t = table(7);
        if (const auto at = rows_.find(line); at != rows_.end()) t.go_to(at->second);
        else rows_[line] = market_row(c_, line, "3").recno();
        t.put(month_field(month), Value(value));
    }

private:
    const Conversion& c_;
    std::map<int, std::uint32_t> rows_;
};

void funds(const Conversion& c) {
    FundRows rows(c);
    for (const Line& l : c.run("42")) {
        const int month = static_cast<int>(l.number(14, 15));
        if (month < 1 || month > 12) continue;
        const double carried = l.amount(29, 41);
        if (!c.y2012()) {
            if (month == 12 && carried > 0) rows.put(2, 1, carried);
            continue;
        }
        if (const double result = l.amount(16, 28); result != 0) rows.put(1, month, result);
        if (month == 1 && carried > 0) rows.put(2, 1, carried);
        if (const double tax = l.amount(84, 96); tax > 0) rows.put(6, month, tax);
    }
}

}  // namespace

void convert_stock_market(Conversion& c) {
    delete_rows(7, c.cpf, [](tb::Table& t) { return t.get("TIPO_BEM").as_number() == kVariableIncome; });
    StatementLines lines;
    if (c.y2012()) stock_months(c, lines);
    else
        for (const Line& l : c.run("41")) lines.carried(15, "1", l.amount(53, 65));
    lines.write(c);
    funds(c);
    table(7).commit();
}

}  // namespace qv::converter
