// Records 29 (spouse), 30 and 38 (estate) and 39 (departure from the
// country).
#include <map>
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::converter {

namespace {

using rt::Value;

void final_kind(tb::Table& d, bool estate, bool departure) {
    d.put("DECFINAL", Value(estate ? "S" : "N"));
    d.put("DECSAIDA", Value(departure ? "S" : "N"));
}

void spouse(Conversion& c) {
    tb::Table& r = table(9);
    for (const Line& l : c.run("29")) {
        r.put("CPFCONJU", Value(l.raw(14, 24)));
        if (!c.y2012()) continue;
        r.put("I13_1C", Value(l.amount(25, 37)));
        r.put("I13_4C", Value(l.amount(38, 50)));
        r.put("I13_2C", Value(l.amount(51, 63)));
        r.put("I13_3C", Value(l.amount(64, 76)));
        r.put("I13_5C", Value(l.amount(77, 89)));
        r.put("I9_2", Value(l.amount(90, 102)));
        r.put("I9_3", Value(l.amount(90, 102)));
        r.put("I9_4", Value("N"));
        r.put("I9_5", Value("S"));
        r.put("CONJUNTA", Value(l.at(90) == 'S' ? "N" : "S"));
    }
    r.commit();
}

// The inventory's executor (or the departing taxpayer's representative).
void representative(tb::Table& d, const Line& l, int cpf, int name, int name_end, int address) {
    d.put("CPFINVENT", Value(l.raw(cpf, cpf + 10)));
    d.put("NOMINVENT", Value(l.text(name, name_end)));
    d.put("ENDINVENT", Value(l.text(address, address + 69)));
}

void estate(tb::Table& d, const Line& l) {
    d.put("ANOOBITO", Value(l.number(14, 17)));
    representative(d, l, 29, 40, 79, 100);
    d.put("DECJUDI", Value(l.at(170) == 'J' ? "S" : "N"));
    d.put("NROPROCES", Value(l.raw(171, 195)));
    d.put("VARACIVIL", Value(l.raw(196, 199)));
    d.put("COMARCA", Value(l.raw(200, 229)));
    d.put("DATAPARTI", Value(l.date(230, 237)));
    d.put("DATADECIS", Value(l.date(238, 245)));
    d.put("UFPROCES", Value(l.raw(246, 247)));
    // The registry's state replaces the court's only when it is given.
    if (!l.blank(376, 377)) d.put("UFPROCES", Value(l.raw(376, 377)));
    d.put("CNPJCARTO", Value(l.raw(248, 261)));
    d.put("NOMECARTO", Value(l.raw(262, 321)));
    d.put("LIVRCARTO", Value(l.number(322, 328)));
    d.put("FOLHCARTO", Value(l.number(329, 335)));
    d.put("MUNICARTO", Value(l.raw(336, 375)));
    d.put("DATALAVRA", Value(l.date(378, 385)));
    final_kind(d, true, false);
}

}  // namespace

void convert_estate_and_departure(Conversion& c) {
    spouse(c);
    tb::Table& d = declaration_row(c.cpf);
    for (const Line& l : c.run("30")) {
        representative(d, l, 14, 25, 64, 85);
        final_kind(d, false, false);
    }
    for (const Line& l : c.run("38")) estate(d, l);
    for (const Line& l : c.run("39")) {
        representative(d, l, 14, 25, 84, 85);
        d.put("DATASAIDA", Value(l.date(165, 172)));
        d.put("DATADECIS", Value(l.date(173, 180)));
        final_kind(d, false, true);
    }
    d.commit();
}

}  // namespace qv::converter

namespace qv::converter {

using rt::operator""_cp;

// Records 58 (heirs, table 03) and 59 (their shares of each asset, table 20).
void convert_heirs(Conversion& c) {
    if (!c.y2012()) return;
    struct Heir {
        std::string name, doc;
    };
    std::map<int, Heir> heirs;
    for (const Line& l : c.run("58")) {
        tb::Table& t = new_row(3, c.cpf);
        t.put("CODIDEPEN", rt::Value(100));
        t.put("NOMEDEPEN", rt::Value(l.text(19, 59)));
        t.put("CPFHERDE", rt::Value(l.doc(79, 92)));
        heirs[static_cast<int>(l.number(14, 18))] = {t.get("NOMEDEPEN").as_string(), t.get("CPFHERDE").as_string()};
    }
    table(3).commit();
    delete_rows(20, c.cpf);
    for (const Line& l : c.run("59")) {
        const auto heir = heirs.find(static_cast<int>(l.number(19, 23)));
        if (heir == heirs.end()) {
            c.warn("registro 59 de um herdeiro não declarado, ignorado"_cp);
            continue;
        }
        tb::Table& t = new_row(20, c.cpf);
        t.put("REFEREN", rt::Value(l.number(14, 18)));
        t.put("NOMEDEPEN", rt::Value(heir->second.name));
        t.put("CPFHERDE", rt::Value(heir->second.doc));
        t.put("PERCENT", rt::Value(l.number(24, 28, 100)));
    }
    table(20).commit();
}

}  // namespace qv::converter
