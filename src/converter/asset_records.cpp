// Records 27 (assets, table 04) and 28 (debts, table 05).
#include <optional>
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

// Item numbers of the asset list: an asset gets the running number when the
// asset before it had a value at either year end, else 0.
class ItemNumbers {
public:
    int next(bool has_value) {
        const int number = previous_had_value_ ? item_ : 0;
        if (has_value) ++item_;
        previous_had_value_ = has_value;
        return number;
    }

private:
    int item_ = 1;
    bool previous_had_value_ = true;
};

struct TextField {
    int from, to;
    const char* field;
};

constexpr TextField kProperty[] = {{558, 597, "ENDEIMO"}, {598, 603, "NUMIMO"},  {604, 633, "COMPIMO"},
                                   {644, 673, "BAIRIMO"}, {684, 691, "CEPIMO"},  {693, 694, "UFIMO"},
                                   {699, 728, "MUNICIMO"}, {740, 779, "MATRICU"}, {780, 819, "LIVRORG"},
                                   {832, 861, "CARTORIO"}};

void property(tb::Table& t, const Line& l) {
    for (const auto& f : kProperty) t.put(f.field, Value(l.raw(f.from, f.to)));
    t.put("REGISTRO", Value(l.at(739) == '1' ? "S" : "N"));
    t.put("AREAIMO", Value(l.number(820, 829, 10)));
    t.put("UNIDADE", Value(l.at(831) == '1' ? "S" : "N"));
    t.put("I7_6", Value(l.number(892, 896)));
}

std::string country(const Conversion& c, const Line& l) {
    const std::string code = l.raw(17, 19);
    if (code == "000" || (!c.y2012() && l.at(16) == '0')) return rt::SPACE(3);
    return code;
}

}  // namespace

void convert_assets(Conversion& c) {
    std::optional<RowReuse> reuse;
    if (c.y2012()) reuse.emplace(4, c.cpf);
    ItemNumbers items;
    int order = 1;
    for (const Line& l : c.run("27")) {
        const int code = static_cast<int>(l.number(14, 15));
        double opening = l.amount(532, 544), closing = l.amount(545, 557);
        if (!c.y2012()) {
            if (closing == 0) continue;
            opening = closing;
            if (code >= 41 && code <= 78) closing = 0.01;
        }
        tb::Table& t = reuse ? reuse->next() : new_row(4, c.cpf);
        const int item = items.next(opening > 0 || closing > 0);
        t.put("I7_0", Value(order));
        t.put("I7_1", Value(item));
        t.put("I7_5", Value(item != 0 ? code : 0));
        const std::string where = country(c, l);
        t.put("I7_8", Value(where));
        t.put("I7_7", Value(rt::EMPTY_TEXT(where) ? " " : "S"));
        t.put("I7_2", Value(l.text(20, 531)));
        t.put("I7_3", Value(opening));
        t.put("I7_4", Value(closing));
        t.put("I7_9", Value(opening));
        if (c.y2012()) property(t, l);
        t.commit();
        order += 10;
    }
    if (reuse) reuse->finish();
}

void convert_debts(Conversion& c) {
    std::optional<RowReuse> reuse;
    if (c.y2012()) reuse.emplace(5, c.cpf);
    int number = 1;
    for (const Line& l : c.run("28")) {
        const double opening = c.y2012() ? l.amount(528, 540) : l.amount(541, 553);
        tb::Table& t = reuse ? reuse->next() : new_row(5, c.cpf);
        t.put("I8_0", Value(1 + 10 * (number - 1)));
        t.put("I8_1", Value(number));
        t.put("I8_5", Value(l.number(14, 15)));
        t.put("I8_2", Value(l.text(16, 527)));
        t.put("I8_3", Value(opening));
        t.put("I8_4", Value(l.amount(541, 553)));
        t.put("I8_6", Value(opening));
        t.commit();
        ++number;
    }
    if (reuse) reuse->finish();
}

}  // namespace qv::converter
