// Last year's assets and debts carried in blocks (an item and the rows that
// continue its description), their closing values becoming this year's
// opening values.
#include <string>
#include <vector>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

// The running numbers of one taxpayer's table while it is carried.
struct BlockState {
    int table = 4;
    int sold = kDropSold;
    double next_line = 1;   // CONTABEM
    double dropped = 0;     // LIN_ELI
    double last_item = 0;   // LIN_ANT

    std::string field(int n) const { return "I" + std::to_string(table + 3) + "_" + std::to_string(n); }
};

double value_of(tb::Table& t, const BlockState& s, int n) { return number_of(t, s.field(n).c_str()); }

// TRANS_BLO: the source rows `rows` carried as one block.
void TRANS_BLO(tb::Table& old, const std::vector<std::uint32_t>& rows, BlockState& s, const std::string& cpf) {
    if (rows.empty()) return;
    old.go_to(rows.front());
    const double code = value_of(old, s, 5);
    const bool token_closing = s.table == 4 && code >= 41 && code <= 78;
    for (const std::uint32_t r : rows) {
        old.go_to(r);
        tb::Table& t = new_row(s.table, cpf);
        double item = value_of(old, s, 1);
        if (item > s.last_item) {
            item -= s.dropped;
            s.last_item = item;
        }
        const double closing = value_of(old, s, 4);
        const double opening = closing;
        t.put(s.field(0), Value(s.next_line));
        s.next_line += 10;
        t.put(s.field(1), Value(item));
        copy_shared(old, t, {s.field(2).c_str(), s.field(5).c_str()});
        t.put(s.field(3), Value(opening));
        t.put(s.field(4), Value(token_closing && closing != 0 ? 0.01 : closing));
        if (s.table == 4) {
            copy_shared(old, t, {"I7_7"});
            if (!rt::ALLTRIM(text_of(old, "I7_8")).empty()) copy_shared(old, t, {"I7_8"});
            t.put("I7_9", Value(opening));
        } else {
            t.put("I8_6", Value(opening));
        }
        t.commit();
    }
}

}  // namespace

void carry_blocks(SourceTables& src, const std::string& cpf, int table_code, int sold) {
    tb::Table* old = src.get(table_code);
    if (!old) return;
    BlockState s;
    s.table = table_code;
    s.sold = sold;
    const std::vector<std::uint32_t> rows = src.rows(table_code, cpf);
    std::vector<std::uint32_t> block;
    double first_item = 0;
    for (const std::uint32_t r : rows) {
        old->go_to(r);
        const double item = value_of(*old, s, 1);
        if (!block.empty() && item > first_item) {
            TRANS_BLO(*old, block, s, cpf);
            block.clear();
            old->go_to(r);
        }
        if (block.empty()) first_item = item;
        block.push_back(r);
        const bool opening = value_of(*old, s, 3) != 0, closing = value_of(*old, s, 4) != 0;
        if (!opening && !closing) continue;
        if (opening && !closing && s.sold == kDropSold) {
            ++s.dropped;
        } else {
            TRANS_BLO(*old, block, s, cpf);
        }
        block.clear();
    }
    // Description rows left at the end are kept.
    TRANS_BLO(*old, block, s, cpf);
}

void join_asset_continuations(const std::string& cpf) {
    std::vector<std::uint32_t> rows;
    for_each_row(4, cpf, [&rows](tb::Table& t) { rows.push_back(t.recno()); });
    tb::Table& t = table(4);
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        t.go_to(rows[i]);
        if (t.get("I7_3").as_number() != 0 || t.get("I7_4").as_number() != 0) continue;
        t.go_to(rows[i + 1]);
        if (t.get("I7_1").as_number() != 0) continue;
        const std::string tail = rt::RTRIM(t.get("I7_2").as_string());
        const Value opening = t.get("I7_3"), closing = t.get("I7_4"), start = t.get("I7_9");
        t.delete_record();
        t.commit();
        t.go_to(rows[i]);
        // A blank between the rows keeps the last word of one from running
        // into the first of the next.
        const std::string head = rt::RTRIM(t.get("I7_2").as_string());
        t.put("I7_2", Value(head.empty() || tail.empty() ? head + tail : head + " " + tail));
        t.put("I7_3", opening);
        t.put("I7_4", closing);
        t.put("I7_9", start);
        t.commit();
        rows.erase(rows.begin() + static_cast<long>(i) + 1);
    }
}

}  // namespace qv::converter
