// Records 17, 19, 23 and 24: the declaration's summary amounts.
#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"

namespace qv::converter {

namespace {

using rt::Value;

struct AmountField {
    int from, to;
    const char* field;
};

void put_amounts(tb::Table& t, const Line& l, std::initializer_list<AmountField> fields) {
    for (const auto& f : fields) t.put(f.field, Value(l.amount(f.from, f.to)));
}

}  // namespace

void convert_summary_records(Conversion& c) {
    if (!c.y2012()) return;
    tb::Table& d = declaration_row(c.cpf);
    for (const Line& l : c.run("17")) put_amounts(d, l, {{14, 26, "I13_31"}, {79, 91, "I13_33"}});
    for (const Line& l : c.run("19")) {
        table(9).put("CGCPAGADOR", Value(l.doc(14, 27)));
        put_amounts(d, l, {{28, 40, "I13_32"}, {41, 53, "I13_31"}, {54, 66, "I13_33"}});
    }
    for (const Line& l : c.run("23")) {
        put_amounts(d, l, {{14, 26, "I3_01"}, {27, 39, "I3_02"}, {40, 52, "I3_03"}, {53, 65, "I3_04"},
                           {79, 91, "I3_11"}, {118, 130, "I3_08"}, {144, 156, "I3_10"}, {157, 169, "I3_12"},
                           {243, 255, "I3_04GCPV"}, {256, 268, "I3_04UNIC"}, {269, 281, "I3_04REDU"},
                           {321, 333, "I3_04EXTR"}, {373, 385, "I3_13"}});
        d.put("I3_12D", Value(l.raw(170, 229)));
    }
    for (const Line& l : c.run("24")) {
        put_amounts(d, l, {{14, 26, "I4_01"}, {27, 39, "I4_02"}, {40, 52, "I4_03"}, {53, 65, "I4_04"},
                           {66, 78, "I4_05"}, {178, 190, "I4_09"}});
        d.put("I4_05D", Value(l.raw(79, 138)));
        d.put("I4_09D", Value(l.raw(191, 250)));
    }
    d.commit();
    table(9).commit();
}

}  // namespace qv::converter
