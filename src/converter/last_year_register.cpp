// Who the taxpayer is and last year's balance: the register and the
// declaration record of a new filing year.
#include <cmath>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::Value;

// An area code kept as its numeric value right-aligned in 4 characters; a
// blank one stays blank rather than becoming a code 0.
std::string area_code(const std::string& text) {
    return rt::ALLTRIM(text).empty() ? std::string() : rt::STR(rt::VAL(text), 4);
}

// The last sale date of a kind 1 gain goes to the register's ULTRESI (with
// an exemption percentage) or ULTIMOV, when that is still empty.
void sale_dates(SourceTables& src, const std::string& cpf, tb::Table& reg) {
    tb::Table* gains = src.get(7);
    if (!gains) return;
    for (const std::uint32_t r : src.rows(7, cpf)) {
        gains->go_to(r);
        if (number_of(*gains, "TIPO_BEM") != 1) continue;
        const char* field = number_of(*gains, "PERART31") > 0 ? "ULTRESI" : "ULTIMOV";
        if (rt::EMPTY(reg.get(field)) && gains->field_index("DATA_ALI") >= 0) reg.put(field, date_of(*gains, "DATA_ALI"));
    }
}

}  // namespace

void carry_register(SourceTables& src, const std::string& cpf, int source) {
    tb::Table& old = *src.get(9);
    tb::Table& reg = new_row(9, cpf);
    copy_shared(old, reg,
                {"NOMECONTR", "TIPOEND", "ENDERECO", "NUMERO", "COMPLEM", "BAIRRO", "CEP", "CODMUNI", "MUNICIPIO", "UF",
                 "CODEMB", "NASCIMENTO", "CGCPAGADOR", "CPFCONJU", "BANCO", "AGENCIA", "CONTACO", "TITULO",
                 "TEMRURAL", "CODACESSO", "SENACESSO", "CDPRO", "OCUPACAO", "CODAT", "DESCRAT", "TELEFO", "NROFAX",
                 "EMAIL"});
    // The cash book keeps none of these, or keeps them with another meaning.
    if (source != kCashBook)
        copy_shared(old, reg, {"CONJUNTA", "USAPADRAO", "CONJPAD", "I9_4", "I9_5", "TELCELU", "TELESCR", "TELSECR",
                               "ULTRESI", "ULTIMOV", "CODPAIS", "VALOREC"});
    copy_as(old, "RECIBOATU", reg, "RECIBOANT");
    reg.put("DDDTEL", Value(area_code(text_of(old, "DDDTEL"))));
    if (!rt::ALLTRIM(text_of(old, "DDDFAX")).empty()) reg.put("DDDFAX", Value(area_code(text_of(old, "DDDFAX"))));
    for (const char* f : {"RETIFICA", "NOVOEND", "IMPRE"}) reg.put(f, Value(" "));
    for (const char* f : {"TEM_USO", "TAM_USO", "ORDEM", "I9_2", "I9_3"}) reg.put(f, Value(0));
    reg.put("ESTATUS", Value(source == kCashBook ? 4 : 1));
    if (source == kCashBook) {
        reg.put("I9_5", Value("N"));
        reg.put("CONJUNTA", Value(" "));
        reg.put("USAPADRAO", Value("N"));
    }
    reg.put("NOVO", Value("S"));
    reg.commit();
}

void carry_declaration_record(SourceTables& src, const std::string& cpf) {
    const double balance = number_of(*src.get(9), "IMPPGRE");
    tb::Table& d = new_row(1, cpf);
    if (tb::Table* old = src.get(1)) {
        const auto rows = src.rows(1, cpf);
        if (!rows.empty()) {
            old->go_to(rows.front());
            copy_shared(*old, d, {"DESPALIM", "OUTRDES", "CAL_AUTO", "INDALERTA", "DESPNAO", "CPFINVENT", "NOMINVENT",
                                  "ENDINVENT"});
        }
    }
    d.put("IMPOANTER", Value(balance > 0 ? balance : 0.0));
    d.put("I3_12", Value(balance < 0 ? std::fabs(balance) : 0.0));
    d.put("I3_12D", Value(balance < 0 ? "RESTITUICAO DO QV2011" : ""));
    d.commit();
}

void BUSCA_DATAVEN(SourceTables& src, const std::string& cpf) {
    tb::Table& reg = table(9);
    reg.set_order(1);
    if (!reg.seek(Value(cpf))) return;
    tables::ws().select(9);
    if (!tables::REC_LOCK()) return;
    sale_dates(src, cpf, reg);
    reg.put("NOVO", Value("S"));
    reg.commit();
    reg.unlock();
}

}  // namespace qv::converter
