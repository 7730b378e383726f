// Page group 1: identification, dependants, income from legal persons and
// the monthly income from natural persons and abroad.
#include <array>
#include <string>

#include "common/globals.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kIncomeArea = 22;
constexpr int kPeopleArea = 23;
constexpr int kMonthlyArea = 32;

std::string field(rt::table::Table& t, std::string_view name) { return rt::TRIM(t.get(name).as_string()); }
double amount(rt::table::Table& t, std::string_view name) { return t.get(name).as_number(); }
std::string cpf_shown(const std::string& cpf) { return rt::TRANSFORM(rt::Value(cpf), kCpfPicture); }

void labelled(int col, std::string_view label, const std::string& value) { put(col, std::string(label) + value); }

std::string yes_no(std::string_view global) { return text(global) == "S" ? "SIM" : "NAO"; }
std::string receipt(std::string_view global) {
    const std::string number = text(global);
    return number.empty() ? number : rt::TRANSFORM(rt::Value(number), "@r 9999999999-99");
}

void address() {
    line(0, "Endereco: " + text("TIPOEND") + " " + text("ENDERECO") + " " + text("NUMERO") + " " + text("COMPLEM"));
    put(0, "Bairro: " + text("BAIRRO"));
    line(30, "Municipio: " + text("MUNICIPIO"));
    put(0, "UF: " + text("UF"));
    if (text("UF") == "EX") {
        put(10, "Pais: " + text("CODPAIS") + " " + country_name(rt::PADR(text("CODPAIS"), 3)));
        put(50, "Cod. Ext: " + text("CODEMB"));
        line(64, "ZIP: " + text("CEP"));
    } else {
        const std::string cep = text("CEP");
        line(10, "CEP: " + (cep.empty() ? cep : rt::TRANSFORM(rt::Value(cep), "@R 99999-999")));
    }
}

void IDENTIFICA() {
    line(0, "IDENTIFICACAO DO CONTRIBUINTE");
    labelled(0, "CPF: ", cpf_shown(text("CPF")));
    line(30, "Nome: " + text("NOMECONTR"));
    labelled(0, "Status: ", rt::ALLTRIM(shown(number("ESTATUS"), "@Z 99")));
    labelled(14, "Data de nascimento: ", rt::TRANSFORM(Global{"NASCIMENTO"}.value(), "@D"));
    line(46, "Titulo eleitoral: " + text("TITULO"));
    line(0, "Mudou de endereco? " + yes_no("NOVOEND"));
    address();
    labelled(0, "Telefone: ", text("DDDTEL") + " " + text("TELEFO"));
    line(30, "E-mail: " + text("EMAIL"));
    line(0, "Natureza da ocupacao: " + text("CODAT") + " " + text("DESCRAT"));
    line(0, "Ocupacao principal: " + text("CDPRO") + " " + text("OCUPACAO"));
    if (const std::string spouse = text("CPFCONJU"); !spouse.empty())
        line(0, (text("DECFINAL") == "S" ? "CPF do Meeiro: " : "CPF do Conjuge: ") + cpf_shown(spouse));
    labelled(0, "Em Conjunto? ", yes_no("I9_4"));
    line(30, "Retificadora? " + yes_no("RETIFICA"));
    if (text("RETIFICA") == "S") line(0, "Recibo da declaracao anterior: " + receipt("NRORECIBO"));
    put(0, "Recibo 2011: " + receipt("RECIBOANT"));
    line(30, "Recibo 2012: " + receipt("RECIBOATU"));
    if (!text("BANCO").empty()) {
        put(0, "Banco: " + rt::TRANSFORM(rt::Value(text("BANCO")), "@R ###"));
        put(14, "Agencia: " + rt::TRANSFORM(rt::Value(text("AGENCIA")), "@R #####-#"));
        line(32, "Conta: " + rt::TRANSFORM(rt::Value(text("CONTACO")), "@R !!!!!!!!!!!!!-!!"));
    }
    separator();
}

void people_section(std::string_view title, int from, int to, bool with_residence) {
    PULA_PAG(5);
    line(0, title);
    line(0, with_residence ? "NOME                                     RESIDENTE    DATA DE NASCIMENTO  CPF"
                           : "CODIGO NOME                                     DATA DE NASCIMENTO  CPF");
    int printed = 0;
    for_rows(kPeopleArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(amount(t, "CODIDEPEN"));
        if (code < from || code > to) return;
        if (QLIN() > 59) CABEC_PAG(2, title);
        const std::string name = rt::PADR(field(t, "NOMEDEPEN"), 40);
        if (with_residence) line(0, name + " " + (code == 98 ? "No Exterior " : "No Brasil   ") + " " +
                                        rt::PADR(rt::TRANSFORM(t.get("DATADEPEN"), "@D"), 19) + " " + cpf_shown(field(t, "CPFDEPEN")));
        else line(0, rt::PADL(std::to_string(code), 6) + " " + name + " " + rt::PADR(rt::TRANSFORM(t.get("DATADEPEN"), "@D"), 19) + " " +
                         cpf_shown(field(t, "CPFDEPEN")));
        ++printed;
    });
    if (printed == 0) no_information();
}

void LISTA_DEPEN() {
    PULA_PAG(6);
    people_section("DEPENDENTES ", 0, 96, false);
    people_section("ALIMENTANDOS", 97, 99, true);
    if (text("DECFINAL") == "S") people_section("HERDEIROS", 100, 100, false);
}

// Income from legal persons of one side: "J" the holder, "D" dependants.
void income_side(std::string_view kind) {
    const std::string title = std::string("RENDIMENTOS TRIBUTAVEIS RECEBIDOS DE PESSOAS JURIDICAS PELO") +
                              (kind == "J" ? " TITULAR" : "S DEPENDENTES");
    std::array<double, 4> totals{};
    int rows = 0;
    for_rows(kIncomeArea, [&](rt::table::Table& t) { rows += field(t, "I1_1") == kind; });
    PULA_PAG(5);
    line(0, title);
    if (rows == 0 && authority_layout()) {
        no_information();
        return;
    }
    wide_separator();
    line(0, "NOME DA FONTE PAGADORA               CNPJ/CPF                  RENDIMENTOS   CONTR.PREVID.    IMP.RETIDO   13o SALARIO");
    for_rows(kIncomeArea, [&](rt::table::Table& t) {
        if (field(t, "I1_1") != kind) return;
        if (QLIN() > 59) {
            running_totals("VALORES PARCIAIS ", {{60, totals[0]}, {75, totals[1]}, {90, totals[2]}, {105, totals[3]}});
            CABEC_PAG(1, title);
        }
        if (kind == "D") line(0, "CPF do dependente: " + cpf_shown(field(t, "I1_8")));
        const std::array<double, 4> v{amount(t, "I1_4"), amount(t, "I1_6"), amount(t, "I1_5"), amount(t, "I1_7")};
        put(0, rt::PADR(field(t, "I1_2"), 36));
        put(37, field(t, "I1_3"));
        for (std::size_t i = 0; i < v.size(); ++i) {
            put(60 + 15 * static_cast<int>(i), shown(v[i]));
            totals[i] += v[i];
        }
        skip_lines();
    });
    put(0, "TOTAIS");
    for (std::size_t i = 0; i < totals.size(); ++i) put(60 + 15 * static_cast<int>(i), shown(totals[i]));
    skip_lines();
}

constexpr const char* kMonths[] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN", "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

void monthly_table(rt::table::Table* row, bool holder) {
    std::array<double, 6> totals{};
    for (int m = 1; m <= 12 && row; ++m)
        for (int c = 1; c <= 6; ++c) totals[c - 1] += row->get("I2_" + std::to_string(c) + rt::STRZERO(m, 2)).as_number();
    PULA_PAG(19);
    line(0, std::string("RENDIMENTOS TRIBUTAVEIS RECEBIDO DE P. FISICAS E EXTERIOR PELO") + (holder ? " TITULAR" : "S DEPENDENTES"));
    if (!holder) line(0, "Rendimentos do dependente CPF " + cpf_shown(field(*row, "CPFDEPEN")));
    const bool empty = totals == std::array<double, 6>{};
    if (empty && authority_layout()) {
        line(0, "Sem Informacoes");
        return;
    }
    const bool so_rec = Global{"SO_REC"}.value().is_logical() && Global{"SO_REC"}.value().as_bool();
    line(0, std::string("  MES  PES. FISICA  EXTERIOR   LIVRO CAIXA ") + (holder ? "DEP+PRE+PEN" : "PREVIDENCIA") +
                "   LEAO PAGO" + (so_rec ? "*" : "") + " LEAO DEV." + (so_rec ? "" : "*"));
    for (int m = 1; m <= 12; ++m) {
        put(0, rt::STRZERO(m, 2) + "-" + kMonths[m - 1]);
        for (int c = 1; c <= 6; ++c) {
            const double v = row ? row->get("I2_" + std::to_string(c) + rt::STRZERO(m, 2)).as_number() : 0.0;
            put(7 + 12 * (c - 1), shown(v, kMonthlyAmount));
        }
        skip_lines();
    }
    separator();
    put(0, "TOTAIS");
    for (int c = 1; c <= 6; ++c)
        if (c != 4) put(7 + 12 * (c - 1), shown(totals[c - 1], kMonthlyAmount));
    skip_lines();
}

void QUADRO2() {
    auto* monthly = tables::ws().table(kMonthlyArea);
    int tables_printed = 0;
    for_rows(kMonthlyArea, [&](rt::table::Table& t) {
        monthly_table(&t, field(t, "CPFDEPEN").empty());
        ++tables_printed;
    });
    if (tables_printed == 0 || !monthly) monthly_table(nullptr, true);
}

}  // namespace

bool authority_layout() { return Global{"QUEIMP"}.integer(1) == 1; }

void no_information() { line(0, "Sem informacoes"); }

void value_line(std::string_view label, double value) {
    put(0, label);
    line(64, shown(value));
}

void PAGINA1(int /*sheet*/) {
    CABEC_PAG(0);
    IDENTIFICA();
    estate_and_departure();
    LISTA_DEPEN();
    income_side("J");
    income_side("D");
    QUADRO2();
    if (Global{"QUEPAG"}.integer(1) != 1) new_page();
}

}  // namespace qv::printing
