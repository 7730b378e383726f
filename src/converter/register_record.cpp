// Record 16 and the declaration record: who the taxpayer is.
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::Value;

// Area code or number: its numeric value right-aligned, when not blank.
std::string phone_part(const Line& l, int from, int to, int width) {
    if (l.blank(from, to)) return {};
    return rt::STR(l.number(from, to), width);
}

// The description of a code in a reference table, or blanks.
std::string described(int area, const std::string& code, const char* field, int blanks) {
    tb::Table* t = tables::ws().table(area);
    if (t && t->seek(Value(code))) return t->get(field).as_string();
    return rt::SPACE(blanks);
}

void identification(const Conversion& c, tb::Table& r) {
    const Line l = c.file.line(1);
    const auto put = [&r](const char* field, Value v) { r.put(field, v); };
    put("CPF", Value(c.cpf));
    put("NOMECONTR", Value(l.text(14, 66)));
    put("TIPOEND", Value(l.text(74, 88)));
    put("ENDERECO", Value(l.text(89, 125)));
    put("NUMERO", Value(l.text(129, 134)));
    put("COMPLEM", Value(l.text(135, 155)));
    put("BAIRRO", Value(l.text(156, 174)));
    put("CEP", Value(l.raw(175, 182)));
    put("CODMUNI", Value(l.raw(184, 187)));
    put("MUNICIPIO", Value(l.text(188, 217)));
    put("UF", Value(l.at(183) == '1' ? std::string("EX") : l.raw(228, 229)));
    put("CODEMB", Value(l.raw(230, 232)));
    put("CODPAIS", Value(l.raw(233, 235)));
    put("EMAIL", Value(l.raw(236, 275)));
    put("DDDFAX", Value(phone_part(l, 336, 339, 4)));
    put("NROFAX", Value(phone_part(l, 340, 347, 8)));
    put("DDDTEL", Value(phone_part(l, 348, 351, 4)));
    put("TELEFO", Value(phone_part(l, 352, 359, 8)));
    put("NASCIMENTO", Value(l.date(360, 367)));
    put("TITULO", Value(l.raw(368, 380)));
    const std::string occupation = l.raw(381, 383), nature = l.raw(384, 385);
    put("CDPRO", Value(occupation));
    put("OCUPACAO", Value(described(58, occupation, "OCUPACAO", 69)));
    put("CODAT", Value(nature));
    put("DESCRAT", Value(described(59, nature, "DESCRAT", 58)));
    put("USAPADRAO", Value(l.at(387) == 'S' ? "N" : "S"));
    put("RETIFICA", Value(c.y2012() ? std::string(1, l.at(388)) : std::string("N")));
    put("NOVOEND", Value(c.y2012() ? std::string(1, l.at(390)) : std::string("N")));
    put("BANCO", Value(l.raw(403, 405)));
    put("AGENCIA", Value(l.raw(406, 410)));
    put("CONTACO", Value(l.raw(412, 426)));
    put("TEMRURAL", Value("N"));
}

}  // namespace

void convert_register(Conversion& c) {
    tb::Table& r = table(9);
    identification(c, r);
    if (c.y2012()) {
        r.put("NRORECIBO", Value(c.file.line(1).raw(391, 402)));
        r.put("RECIBOATU", Value(c.file.header.receipt));
        r.put("RECIBOANT", Value(c.file.header.previous));
    } else {
        r.put("ESTATUS", Value(1));
        for (const char* f : {"TEM_USO", "TAM_USO", "I9_2", "I9_3"}) r.put(f, Value(0));
        r.put("I9_4", Value("N"));
        r.put("I9_5", Value("N"));
        r.put("RECIBOANT", Value(c.file.header.receipt));
    }
    r.put("IMPRE", Value(" "));
    r.put("ORDEM", Value(0));
    r.put("CONJUNTA", Value(" "));
    if (r.get("ESTATUS").as_number() == 0) r.put("ESTATUS", Value(1));
    r.commit();

    tb::Table& d = table(1);
    d.set_order(1);
    if (!d.seek(Value(c.cpf))) {
        new_row(1, c.cpf);
        d.put("INDALERTA", Value(10));
    }
    if (c.file.header.kind == "ESPL") {
        d.put("DECFINAL", Value("S"));
        d.put("DECSAIDA", Value("N"));
    } else if (c.file.header.kind == "SAID") {
        d.put("DECFINAL", Value("N"));
        d.put("DECSAIDA", Value("S"));
    }
    d.commit();
    delete_rows(2, c.cpf);
}

}  // namespace qv::converter
