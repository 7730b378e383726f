// Records 50-56: rural activity in Brazil and abroad (tables 15-18).
#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr double kMaxArea = 999999;
constexpr double kOptionRate = 0.2;
constexpr double kOptionFactor = 3.5325;

const char* activity(const Line& l) { return l.at(14) == '0' ? "S" : "N"; }

// The summary row (table 15) of each activity, found or made on first use.
class SummaryRows {
public:
    explicit SummaryRows(const Conversion& c) : c_(c) {}
    tb::Table& of(const char* where) {
        tb::Table& t = table(15);
        if (const auto at = rows_.find(where); at != rows_.end()) {
            t.go_to(at->second);
            return t;
        }
        std::optional<std::uint32_t> found;
        for_each_row(15, c_.cpf, [&](tb::Table& row) {
            if (!found && row.get("ATV_BRASIL").as_string() == where) found = row.recno();
        });
        if (found) t.go_to(*found);
        else new_row(15, c_.cpf).put("ATV_BRASIL", Value(where));
        rows_[where] = t.recno();
        return t;
    }

private:
    const Conversion& c_;
    std::map<std::string, std::uint32_t> rows_;
};

tb::Table& next_row(std::optional<RowReuse>& reuse, int code, const Conversion& c) {
    return reuse ? reuse->next() : new_row(code, c.cpf);
}

void properties(Conversion& c) {
    std::optional<RowReuse> reuse;
    if (c.y2012()) reuse.emplace(16, c.cpf);
    for (const Line& l : c.run("50")) {
        tb::Table& r = table(9);
        r.put("TEMRURAL", Value("S"));
        r.put("ATV_BRASIL", Value("S"));
        tb::Table& t = next_row(reuse, 16, c);
        t.put("ATV_BRASIL", Value(activity(l)));
        t.put("I2R_03", Value(l.raw(15, 22)));
        t.put("I2R_01", Value(l.text(23, 82)));
        t.put("I2R_06", Value(l.text(83, 137)));
        t.put("I2R_02", Value(std::min(l.number(138, 147, 10), kMaxArea)));
        t.put("I2R_04", Value(l.amount(148, 152)));
        t.put("I2R_05", Value(l.number(153, 153)));
        t.put("I2R_07", Value(l.number(154, 155)));
        t.commit();
    }
    if (reuse) reuse->finish();
}

void summary(Conversion& c) {
    if (c.y2012()) delete_rows(15, c.cpf);
    SummaryRows rows(c);
    if (c.y2012()) {
        for (const Line& l : c.run("51")) {
            const int month = static_cast<int>(l.number(15, 16));
            if (month < 1 || month > 12) continue;
            tb::Table& t = rows.of(activity(l));
            const std::string mm = rt::STRZERO(month, 2);
            t.put("I3_" + mm + "OD", Value(l.amount(17, 29)));
            t.put("I3_" + mm + "OR", Value(l.amount(30, 42)));
            t.put("SO_TOTAL", Value(true));
        }
    }
    for (const Line& l : c.run("52")) {
        tb::Table& t = rows.of(activity(l));
        t.put("I4R_04", Value(c.y2012() ? l.amount(54, 66) : l.amount(106, 118)));
        t.put("I5_09", Value(c.y2012() ? l.amount(119, 131) : 0.0));
        t.put("I5_10", Value(c.y2012() ? l.amount(132, 144) : l.amount(119, 131)));
    }
    static const char* const kHerds[] = {"B", "S", "C", "A", "V1"};
    for (const Line& l : c.run("53")) {
        const int herd = static_cast<int>(l.number(15, 15));
        if (herd < 1 || herd > 5) continue;
        const std::string s = kHerds[herd - 1];
        double q[5];
        for (int k = 0; k < 5; ++k) q[k] = l.number(16 + 10 * k, 25 + 10 * k, 100);
        tb::Table& t = rows.of(activity(l));
        if (c.y2012())
            for (int k = 0; k < 5; ++k) t.put("I7_" + std::to_string(k + 1) + s, Value(q[k]));
        else
            t.put("I7_1" + s, Value(q[0] + q[1] + q[2] - q[3] - q[4]));
        if (herd == 5) t.put("I7_V1", Value("OUTROS"));
    }
    // An activity with a property or a result abroad has its summary row,
    // even when the file gives it no month, result or herd: without it the
    // declaration has no such activity at all.
    for (const Line& l : c.run("50")) rows.of(activity(l));
    if (c.has("56")) rows.of("N");
    table(15).commit();
}

void rural_assets(Conversion& c) {
    std::optional<RowReuse> reuse;
    if (c.y2012()) reuse.emplace(17, c.cpf);
    int item = 1;
    for (const Line& l : c.run("54")) {
        tb::Table& t = next_row(reuse, 17, c);
        t.put("ATV_BRASIL", Value(activity(l)));
        t.put("I8R_0", Value(1 + 10 * (item - 1)));
        t.put("ITEM", Value(item));
        t.put("CODIGO", Value(l.number(18, 19)));
        t.put("I8R_3", Value(l.at(14) == '0' ? rt::SPACE(3) : l.raw(15, 17)));
        t.put("I8R_1", Value(l.text(20, 531)));
        if (c.y2012()) t.put("I8R_2", Value(l.amount(532, 544)));
        t.commit();
        ++item;
    }
    if (reuse) reuse->finish();
}

void rural_debts(Conversion& c) {
    std::optional<RowReuse> reuse;
    if (c.y2012()) reuse.emplace(18, c.cpf);
    int item = 1;
    for (const Line& l : c.run("55")) {
        const double first = l.amount(527, 539), second = l.amount(540, 552);
        if (!c.y2012() && second <= 0) continue;
        tb::Table& t = next_row(reuse, 18, c);
        t.put("ATV_BRASIL", Value(activity(l)));
        t.put("I9R_0", Value(1 + 10 * (item - 1)));
        t.put("ITEM", Value(item));
        t.put("I9R_1", Value(l.text(15, 526)));
        t.put("I9R_2", Value(c.y2012() ? first : second));
        t.put("I9R_3", Value(c.y2012() ? second : 0.0));
        t.commit();
        ++item;
    }
    if (reuse) reuse->finish();
}

// Record 56: the result abroad goes to the first foreign property without
// a country yet.
void result_abroad(Conversion& c) {
    for (const Line& l : c.run("56")) {
        std::optional<std::uint32_t> row;
        for_each_row(16, c.cpf, [&row](tb::Table& t) {
            if (!row && t.get("ATV_BRASIL").as_string() == "N" && rt::EMPTY_TEXT(t.get("CODPAIS").as_string()))
                row = t.recno();
        });
        if (!row) continue;
        tb::Table& t = table(16);
        t.go_to(*row);
        const double receipts = l.amount(17, 29), reais = l.amount(43, 55), dollars = l.amount(56, 68);
        const double rate = dollars != 0 ? rt::ROUND(reais / dollars, 2) : 0;
        t.put("CODPAIS", Value(l.raw(14, 16)));
        t.put("RECEXT", Value(receipts));
        t.put("DESEXT", Value(l.amount(30, 42)));
        t.put("VALUSE", Value(rate));
        t.put("RESUS", Value(dollars));
        t.put("OPC20US", Value(dollars * kOptionRate));
        t.put("OPC20RS", Value(rate != 0 ? receipts / rate * kOptionRate * kOptionFactor : 0.0));
        t.commit();
    }
}

}  // namespace

void convert_rural(Conversion& c) {
    properties(c);
    summary(c);
    rural_assets(c);
    rural_debts(c);
    result_abroad(c);
    table(9).commit();
}

}  // namespace qv::converter
