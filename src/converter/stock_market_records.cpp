// Records 40-42: stock-market results month by month and investment funds,
// as variable-income rows (TIPO_BEM 4) of table 07.
#include <array>
#include <map>
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

void single_value(const Conversion& c, int line, const char* operations, double value) {
    if (value > 0) market_row(c, line, operations).put("REC_MES01", Value(value));
}

bool any_month(const Months& m) {
    for (const double v : m)
        if (v != 0) return true;
    return false;
}

void month_rows(const Conversion& c, const std::map<int, Months>& items, const char* operations,
                const std::map<int, int>& renumbered) {
    for (const auto& [item, months] : items) {
        if (!any_month(months)) continue;
        const auto moved = renumbered.find(item);
        tb::Table& t = market_row(c, moved == renumbered.end() ? item : moved->second, operations);
        for (int month = 1; month <= 12; ++month) t.put(month_field(month), Value(months[month - 1]));
    }
}

void stock_months(const Conversion& c) {
    std::map<int, Months> common, day_trade;
    double carried_common = 0, carried_day_trade = 0, day_trade_withheld = 0, withheld = 0;
    for (const Line& l : c.run("40")) {
        const int month = static_cast<int>(l.number(14, 15));
        if (month < 1 || month > 12) continue;
        for (int item = 1; item <= 13; ++item) {
            common[item][month - 1] = l.amount(16 + 13 * (item - 1), 28 + 13 * (item - 1));
            day_trade[item][month - 1] = l.amount(185 + 13 * (item - 1), 197 + 13 * (item - 1));
        }
        day_trade[14][month - 1] = l.amount(354, 366);
        common[14][month - 1] = l.amount(367, 379);
        common[15][month - 1] = l.amount(380, 392);
        if (month != 1) continue;
        carried_common = l.amount(393, 405);
        carried_day_trade = l.amount(406, 418);
        day_trade_withheld = l.amount(419, 431);
        withheld = l.amount(594, 606);
    }
    month_rows(c, common, "1", {{14, 28}, {15, 24}});
    month_rows(c, day_trade, "2", {{14, 22}});
    single_value(c, 15, "1", carried_common);
    single_value(c, 15, "2", carried_day_trade);
    single_value(c, 22, "2", day_trade_withheld);
    single_value(c, 25, "1", withheld);
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
    if (c.y2012()) stock_months(c);
    else
        for (const Line& l : c.run("41")) single_value(c, 15, "1", l.amount(53, 65));
    funds(c);
    table(7).commit();
}

}  // namespace qv::converter
