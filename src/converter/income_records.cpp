// Income rows of table 02: records 21, 31-33, 36, 37 and the rows that
// record 23 gives.
#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"

namespace qv::converter {

namespace {

using rt::Value;

tb::Table& income_row(const Conversion& c, const char* who) {
    tb::Table& t = new_row(2, c.cpf);
    t.put("I1_1", Value(who));
    return t;
}

// Records 31, 33, 36 and 37: exempt or exclusive income by payer.
void payer_rows(Conversion& c, const char* type, const char* field, bool converted_name) {
    if (!c.y2012() && std::string_view(type) != "31") return;
    for (const Line& l : c.run(type)) {
        tb::Table& t = income_row(c, l.at(19) == 'T' ? "J" : "D");
        t.put("I1_3", Value(l.doc(20, 33)));
        t.put("I1_2", Value(converted_name ? l.text(34, 93) : l.raw(34, 93)));
        t.put("I1_8", Value(l.raw(107, 117)));
        if (c.y2012()) t.put(field, Value(l.amount(94, 106)));
    }
}

void extra_row(Conversion& c, const Line& l, int from, const char* who, const char* description,
               const char* field) {
    const double value = l.amount(from, from + 12);
    if (value <= 0) return;
    tb::Table& t = income_row(c, who);
    t.put("I1_2", Value(description));
    t.put(field, Value(value));
}

}  // namespace

void convert_income_records(Conversion& c) {
    for (const Line& l : c.run("21")) {
        tb::Table& t = income_row(c, "J");
        t.put("I1_3", Value(l.doc(14, 27)));
        t.put("I1_2", Value(l.text(28, 87)));
        if (!c.y2012()) continue;
        t.put("I1_4", Value(l.amount(88, 100)));
        t.put("I1_6", Value(l.amount(101, 113)));
        t.put("I1_7", Value(l.amount(114, 126)));
        t.put("I1_5", Value(l.amount(127, 139)));
    }
    payer_rows(c, "31", "I1_18", false);
    for (const Line& l : c.run("32")) {
        tb::Table& t = income_row(c, "D");
        t.put("I1_8", Value(l.raw(14, 24)));
        t.put("I1_3", Value(l.doc(25, 38)));
        t.put("I1_2", Value(l.text(39, 98)));
        if (!c.y2012()) continue;
        t.put("I1_4", Value(l.amount(99, 111)));
        t.put("I1_6", Value(l.amount(112, 124)));
        t.put("I1_7", Value(l.amount(125, 137)));
        t.put("I1_5", Value(l.amount(138, 150)));
    }
    payer_rows(c, "33", "I1_15", true);
    if (c.y2012())
        for (const Line& l : c.run("23")) {
            extra_row(c, l, 92, "J", "Aposentadoria 65 anos", "I1_17");
            extra_row(c, l, 131, "J", "Rendimento de socio de EPP", "I1_16");
            extra_row(c, l, 230, "D", "Rendimentos Isentos", "I1_9");
        }
}

void convert_exclusive_income(Conversion& c) {
    payer_rows(c, "36", "I1_13", true);
    payer_rows(c, "37", "I1_14", true);
}

void CONV_EXIG(Conversion& c) {
    if (!c.y2012()) return;
    for (const Line& l : c.run("80")) {
        tb::Table& t = income_row(c, "J");
        t.put("I1_3", Value(l.doc(14, 27)));
        t.put("I1_2", Value(l.text(28, 67)));
        t.put("I1_19", Value(l.amount(88, 100)));
        t.put("I1_20", Value(l.amount(101, 113)));
    }
    for (const Line& l : c.run("81")) {
        tb::Table& t = income_row(c, "D");
        t.put("I1_8", Value(l.raw(14, 24)));
        t.put("I1_3", Value(l.doc(25, 38)));
        t.put("I1_2", Value(l.text(39, 78)));
        t.put("I1_19", Value(l.amount(99, 111)));
        t.put("I1_20", Value(l.amount(112, 124)));
    }
    table(2).commit();
}

namespace {

// Where the fields of records 45 (titular) and 47 (dependant) begin: the
// dependant's record has his CPF first and counts the months whole.
struct AccumulatedLayout {
    const char* type;
    int cpf;          // 0: no CPF (titular)
    int doc;          // then name (60), four amounts, date, kind, months, amount
    double months_divisor;
    const char* titular;
};

void accumulated_row(Conversion& c, const Line& l, const AccumulatedLayout& a) {
    tb::Table& t = income_row(c, "A");
    if (a.cpf) t.put("I1_8", Value(l.raw(a.cpf, a.cpf + 10)));
    int at = a.doc;
    t.put("I1_3", Value(l.doc(at, at + 13)));
    t.put("I1_2", Value(l.text(at + 14, at + 73)));
    at += 74;
    for (const char* field : {"I1_4", "I1_6", "I1_12", "I1_5"}) {
        t.put(field, Value(l.amount(at, at + 12)));
        at += 13;
    }
    t.put("DT_LC", Value(l.date(at, at + 7)));
    t.put("TIPOCR", Value(l.at(at + 8) == '0' ? "S" : "N"));
    t.put("I1_21", Value(l.number(at + 9, at + 12, a.months_divisor)));
    t.put("I1_20", Value(l.amount(at + 13, at + 25)));
    t.put("I1_11", Value(a.titular));
}

}  // namespace

void convert_accumulated_income(Conversion& c) {
    if (!c.y2012()) return;
    for (const AccumulatedLayout& a : {AccumulatedLayout{"45", 0, 16, 10, "S"}, AccumulatedLayout{"47", 16, 27, 1, "N"}})
        for (const Line& l : c.run(a.type)) accumulated_row(c, l, a);
    table(2).commit();
}

}  // namespace qv::converter
