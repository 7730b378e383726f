// Last year's instalment sales still to receive, the losses and gains of
// variable income that pass to this year, and the notes.
#include <string>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

bool still_to_receive(tb::Table& old) {
    return text_of(old, "VEN_PRAZO") == "S" &&
           (number_of(old, "VAL_RECOL") < number_of(old, "VAL_ALI") || text_of(old, "VENDAANT") == "S");
}

std::string description(tb::Table& old) {
    if (old.field_index("ESPC_BEM") >= 0) return old.get("ESPC_BEM").as_string();
    std::string joined;
    for (const char* f : {"ESPC_BEM1", "ESPC_BEM2", "ESPC_BEM3", "ESPC_BEM4"}) joined += text_of(old, f);
    return joined;
}

void carry_purchases(SourceTables& src, const std::string& cpf, double old_number, int number) {
    tb::Table* old = src.get(8);
    if (!old) return;
    for (const std::uint32_t r : src.rows(8, cpf)) {
        old->go_to(r);
        if (number_of(*old, "BEM_NRO") != old_number) continue;
        tb::Table& t = new_row(8, cpf);
        copy_shared(*old, t, {"RVAR_NRO", "DAY_TRADE", "VALOR_REDU", "VALOR_CUST", "DATA_CUST", "IND_CUST", "PER_RED",
                              "PER_CUST", "RESUL_2", "SALDO_COEF", "CM_PONDER", "SALDO_ACAO", "MOV_ACAO", "CUST_UNI",
                              "CMED_COEF", "TIPO_OPER", "TIPO_ACAO", "LOTE"});
        t.put("BEM_NRO", Value(number));
        t.commit();
    }
}

// The sale date of a kind 1 sale goes to the register when still empty.
void mark_last_sale(tb::Table& sale, double exemption, const std::string& cpf) {
    if (number_of(sale, "TIPO_BEM") != 1 || sale.field_index("DATA_ALI") < 0) return;
    tb::Table& reg = table(9);
    reg.set_order(1);
    if (!reg.seek(Value(cpf))) return;
    const char* field = exemption > 0 ? "ULTRESI" : "ULTIMOV";
    if (rt::EMPTY(reg.get(field))) reg.put(field, date_of(sale, "DATA_ALI"));
    reg.commit();
}

void carry_sale(SourceTables& src, tb::Table& old, const std::string& cpf, int number) {
    tb::Table& t = new_row(7, cpf);
    copy_shared(old, t, {"RVAR_NRO", "DAY_TRADE", "TIPO_BEM", "NRO_ITEM", "CPFADQ", "NOME_ADQ", "RUAIMO", "ENDEIMO",
                         "NUMIMO", "COMPIMO", "BAIRIMO", "CEPIMO", "MUNICIMO", "UFIMO", "DATA_ALI", "DATA_ADQ",
                         "NOME_SOCIE", "CGC_SOCIE", "CID_SOCIE", "EST_SOCIE", "IND_ALI", "CUS_ATUAL", "PEQ_VALOR",
                         "VEN_PRAZO", "NATUOPER", "PARCOMPRA"});
    t.put("BEM_NRO", Value(number));
    t.put("ESPC_BEM", Value(description(old)));
    const double exemption = number_of(old, "PERART31");
    const double factor = (100 - exemption) / 100;
    const double share = number_of(old, "PER_TRI") * factor * 100;
    const double sale = number_of(old, "VAL_ALI");
    const double tax_before = sale * share * 0.0015;
    t.put("PERART31", Value(0));
    t.put("PER_TRI", Value(share));
    t.put("VAL_ANTE", Value(sale));
    t.put("VAL_DIFE", Value(sale - number_of(old, "VAL_RECOL")));
    t.put("IMP_ANTE", Value(tax_before));
    t.put("IMP_DIFE", Value(tax_before - number_of(old, "VAL_IMPOS")));
    t.put("VAL_PARTE", Value(0));
    t.put("VENDAANT", Value("S"));
    t.commit();
    if (text_of(old, "PARCOMPRA") == "S") carry_purchases(src, cpf, number_of(old, "BEM_NRO"), number);
    mark_last_sale(old, exemption, cpf);
}

// A December loss (17 → 15) or gain (23 → 22) of variable income opens
// this year's January.
void carry_variable_income(tb::Table& old, const std::string& cpf) {
    if (number_of(old, "TIPO_BEM") != 4) return;
    const double kind = number_of(old, "RVAR_NRO"), december = number_of(old, "REC_MES12");
    double to = 0;
    if (kind == 17 && december < 0) to = 15;
    else if (kind == 23 && december > 0) to = 22;
    else return;
    tb::Table& t = new_row(7, cpf);
    t.put("RVAR_NRO", Value(to));
    t.put("BEM_NRO", Value(0));
    copy_shared(old, t, {"DAY_TRADE"});
    t.put("REC_MES01", Value(december));
    t.commit();
}

}  // namespace

std::vector<std::string> note_rows(const std::string& text, int width) {
    std::vector<std::string> rows;
    const auto w = static_cast<std::size_t>(width);
    std::string rest = rt::ALLTRIM(text);
    while (rest.size() > w) {
        std::size_t cut = rest.rfind(' ', w);
        if (cut == std::string::npos || cut == 0) cut = w;
        rows.push_back(rt::RTRIM(rest.substr(0, cut)));
        rest = rt::ALLTRIM(rest.substr(cut));
    }
    rows.push_back(rest);
    return rows;
}

int carry_gains(SourceTables& src, const std::string& cpf) {
    tb::Table* old = src.get(7);
    if (!old) return 0;
    int carried = 0;
    for (const std::uint32_t r : src.rows(7, cpf)) {
        old->go_to(r);
        if (still_to_receive(*old)) carry_sale(src, *old, cpf, ++carried);
        else carry_variable_income(*old, cpf);
    }
    return carried;
}

void carry_notes(SourceTables& src, const std::string& cpf, int sales_carried) {
    if (tb::Table* old = src.get(11)) {
        for (const std::uint32_t r : src.rows(11, cpf)) {
            old->go_to(r);
            const std::string error = rt::ALLTRIM(text_of(*old, "CODERR"));
            if (!error.empty() && error != "0") continue;
            tb::Table& t = new_row(11, cpf);
            copy_shared(*old, t, {"OBSERV"});
            t.commit();
        }
    }
    double to_receive = 0;
    if (tb::Table* record = src.get(1)) {
        const auto rows = src.rows(1, cpf);
        if (!rows.empty()) {
            record->go_to(rows.front());
            to_receive = number_of(*record, "VALFUTUR");
        }
    }
    if (to_receive <= 0 && sales_carried == 0) return;
    const bool plural = sales_carried > 1 || (to_receive > 0 && sales_carried > 0);
    std::string note = std::string("Existe") + (plural ? "m" : "") + " ganho" + (plural ? "s" : "");
    if (to_receive == 0) note += " de capital a receber com data anterior ao ano base";
    else note += " de capital a receber R$ " + rt::TRANSFORM(Value(to_receive), "@Ez 999,999,999.99");
    // A note longer than the field goes on the next row rather than being cut.
    tb::Table& notes = table(11);
    const int width = notes.fields()[static_cast<std::size_t>(notes.field_index("OBSERV"))].len;
    for (const std::string& part : note_rows(note, width)) {
        tb::Table& t = new_row(11, cpf);
        t.put("OBSERV", Value(part));
        t.commit();
    }
}

}  // namespace qv::converter
