// Page group 4: the summary of the tax calculation in two columns, the bank
// data and the balance or the patrimonial evolution.
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

using common::Global;

namespace {

struct Cell {
    const char* label;
    double value;
};
struct Row {
    Cell left;
    Cell right;
};

void two_columns(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        if (r.left.label[0] != '\0') put_amount(0, r.left.label, r.left.value, 24);
        if (r.right.label[0] != '\0') put_amount(40, r.right.label, r.right.value, 24);
        skip_lines();
    }
}

double v(const char* name) { return number(name); }

bool tax_to_pay() { return v("I13_36") > 0.0; }

void quotas() {
    if (!tax_to_pay()) return;
    line(40, "Em " + std::to_string(Global{"QTD_QUOTA"}.integer()) + " Quotas de " + shown(v("I13_37")));
}

void simplified_model() {
    line(0, "-REND. TRIBUTAVEIS/DESC. SIMPLIFICADO-  --------  IMPOSTO PAGOS --------------");
    two_columns({
        {{"Rec.P.Juridica Titular  ", v("I13_01")}, {"Imposto Retido Titular  ", v("I13_27")}},
        {{"Rec.P.Jurid. Dependente ", v("I13_02")}, {"Imp.Retido Dependente   ", v("I13_28")}},
        {{"Rec.PF /Exterior Titular", v("I13_03") + v("I13_49")}, {"Carne Leao titular      ", v("I13_29")}},
        {{"Rec.P.F /Ext. Dependente", v("I13_04") + v("I13_50")}, {"Carne Leao dependente   ", v("I13_30")}},
        {{"Acumulados do Titular   ", v("I13_05")}, {"Imposto complementar    ", v("I13_31")}},
        {{"Acumulados do Dependente", v("I13_06")}, {"Imp. Lei 11.033/2004    ", v("I13_33")}},
        {{"Resul da Atividade Rural", v("I13_07")}, {"Imposto retido RRA      ", v("I13_34")}},
        {{"    TOTAL RENDIMENTO....", v("I13_08")}, {"", 0}},
        {{"Desconto Simplificado   ", v("DESPADRAO")}, {"", 0}},
        {{"Base de calculo         ", v("I13_20")}, {"", 0}},
        {{"Imposto devido RRA      ", v("I13_25")}, {"", 0}},
        {{"  TOTAL IMPOSTO DEVIDO..", v("I13_26")}, {"  TOTAL IMPOSTO PAGO....", v("I13_35")}},
    });
    if (tax_to_pay()) put_amount(40, "SALDO IMPOSTO A PAGAR", v("I13_36"), 24);
    else put_amount(40, "IMPOSTO A RESTITUIR..", v("I13_38"), 24);
    skip_lines();
    quotas();
}

void complete_model() {
    line(0, "---- RENDIMENTOS TRIBUTAVEIS ---------- --------  IMPOSTOS DEVIDOS  ----------");
    two_columns({
        {{"Rec.P.Juridica Titular  ", v("I13_01")}, {"Base de calculo         ", v("I13_20")}},
        {{"Rec.P.Jurid. Dependente ", v("I13_02")}, {"Imposto devido          ", v("I13_21")}},
        {{"Rec.PF /Exterior Titular", v("I13_03") + v("I13_49")}, {"Deducoes de Incentivo   ", v("I13_22")}},
        {{"Rec.P.F /Ext. Dependente", v("I13_04") + v("I13_50")}, {"Imposto devido I        ", v("I13_23")}},
        {{"Acumulados do Titular   ", v("I13_05")}, {"INSS Empregado Domestico", v("I13_24")}},
        {{"Acumulados do Dependente", v("I13_06")}, {"Imposto devido II       ", v("I13_23") - v("I13_24")}},
        {{"Resul da Atividade Rural", v("I13_07")}, {"Imposto devido RRA      ", v("I13_25")}},
        {{"    TOTAL RENDIMENTO....", v("I13_08")}, {"    TOTAL IMP.DEVIDO....", v("I13_26")}},
    });
    line(0, "------ DEDUCOES ----------------------- ---------- IMPOSTO PAGO --------------");
    two_columns({
        {{"Contri. Previd. Oficial ", v("I13_09")}, {"Imposto Retido Titular  ", v("I13_27")}},
        {{"Contri. Previd. RRA     ", v("I13_10")}, {"Imp.Retido Dependente   ", v("I13_28")}},
        {{"Contri.Prev.Privada/FAPI", v("I13_11")}, {"Carne Leao titular      ", v("I13_29")}},
        {{"Dependentes             ", v("I13_12")}, {"Carne Leao dependente   ", v("I13_30")}},
        {{"Despesas com Instrucao  ", v("I13_13")}, {"Imposto complementar    ", v("I13_31")}},
        {{"Despesas medicas        ", v("I13_14")}, {"Imposto pg. Exterior    ", v("I13_32")}},
        {{"Pensao alime. Judicial  ", v("I13_15")}, {"Imp. Lei 11.033/2004    ", v("I13_33")}},
        {{"Pensao alime. Escritura ", v("I13_16")}, {"Imposto retido RRA      ", v("I13_34")}},
        {{"Pensao alime. RRA       ", v("I13_17")}, {"    TOTAL IMPOSTO PAGO..", v("I13_35")}},
        {{"Livro Caixa             ", v("I13_18")},
         tax_to_pay() ? Cell{"    IMPOSTO A PAGAR.....", v("I13_36")} : Cell{"    IMPOSTO A RESTITUIR ", v("I13_38")}},
        {{"    TOTAL...............", v("I13_19")}, {"", 0}},
    });
    quotas();
}

void bank_data() {
    const bool debit = text("DEBITAUT") == "S";
    const auto bank = [](const char* account_label) {
        put(0, "Banco " + rt::TRANSFORM(Global{"BANCO"}.value(), "@R ###"));
        put(12, "Agencia " + rt::TRANSFORM(Global{"AGENCIA"}.value(), "@R #####-#"));
        line(30, std::string(account_label) + " " + rt::TRANSFORM(Global{"CONTACO"}.value(), "@R !!!!!!!!!!!!!-!!"));
    };
    line(0, "INFORMACOES BANCARIAS");
    if (tax_to_pay()) {
        line(0, std::string("Debito Automatico: ") + (debit ? "SIM" : "NAO"));
        if (debit) bank("Conta para debito");
    } else {
        bank("Conta para credito");
    }
}

void patrimonial_evolution() {
    separator();
    line(0, "--------------- EVOLUCAO PATRIMONIAL E OUTRAS INFORMACOES -------------------");
    two_columns({
        {{"Bens    em 31/12/2010  ", v("I13_39")}, {"Rendimentos isentos     ", v("I13_44")}},
        {{"Bens    em 31/12/2011  ", v("I13_40")}, {"Imposto pago G. Capital ", v("I13_46")}},
        {{"Dividas em 31/12/2010  ", v("I13_41")}, {"Ren.tributacao exclusiva", v("I13_45")}},
        {{"Dividas em 31/12/2011  ", v("I13_42")}, {"Imposto pago R. Variavel", v("I13_47")}},
    });
    wide_separator();
}

}  // namespace

void PAGINA4(int /*sheet*/) {
    CABEC_PAG(0);
    if (authority_layout()) line(0, "RESUMO");
    if (text("USAPADRAO") == "S") simplified_model();
    else complete_model();
    bank_data();
    const rt::Value balance = Global{"LIMPBAL"}.value();
    if (balance.is_logical() && balance.as_bool()) MOSBALAN();
    else patrimonial_evolution();
    new_page();
}

}  // namespace qv::printing
