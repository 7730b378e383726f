#include "printing/rural_pages.hpp"

#include <string>

#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "tables/opening.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kSummary = 35;
constexpr int kFarms = 36;
constexpr int kAssets = 37;
constexpr int kDebts = 38;
constexpr int kPageEnd = 60;
constexpr std::string_view kRuralPercent = "@ZE 999.99";
constexpr std::string_view kArea = "@ZE 999,999.9";
constexpr std::string_view kHerd = "@EZ 999,999.99";
constexpr int kValueCol = 70;

const char* const kFarmHeading = "CODIGO  PARTICIPACAO(%) COND. EXPLORACAO         NOME E LOCALIZACAO DO IMOVEL";
const char* const kAssetsHeading = "BENS DA ATIVIDADE RURAL";
const char* const kDebtsHeading = "DIVIDAS VINCULADAS A ATIVIDADE RURAL";

bool in_brazil() { return text("ATV_BRASIL") == "S"; }
void set_qlin(int n) { Global{"QLIN"}.set(rt::Value(n)); }

// The summary record of the taxpayer for the activity, copied into the
// variables; false when there is none.
bool load_summary(std::string_view where) {
    auto* t = tables::ws().table(kSummary);
    if (!t || !t->seek(rt::Value(rt::PADR(text("CPF"), 11) + std::string(where)))) return false;
    record_to_globals(*t);
    Global{"ATV_BRASIL"}.set(rt::Value(std::string(where)));
    return true;
}

// Keeps ATV_BRASIL as the declaration had it while a page borrows it.
class ActivityKept {
public:
    ActivityKept() : saved_(Global{"ATV_BRASIL"}.value()) {}
    ~ActivityKept() { Global{"ATV_BRASIL"}.set(saved_); }
    ActivityKept(const ActivityKept&) = delete;
    ActivityKept& operator=(const ActivityKept&) = delete;

private:
    rt::Value saved_;
};

template <class Fn>
void activity_rows(int area, Fn fn) {
    const std::string where = text("ATV_BRASIL");
    for_stored_rows(area, [&](rt::table::Table& t) {
        if (field_text(t, "ATV_BRASIL") == where) fn(t);
    });
}

void farm_heading() {
    put(0, kFarmHeading);
    if (in_brazil()) put(110, "AREA(ha)    Nro S.R.F");
    skip_lines();
}

void value_row(std::string_view label, double value) {
    put(2, label);
    line(kValueCol, shown(value));
}

void farms() {
    line(0, "DADOS E IDENTIFICACAO DA ATIVIDADE E DO IMOVEL EXPLORADO ");
    farm_heading();
    activity_rows(kFarms, [](rt::table::Table& t) {
        if (QLIN() > kPageEnd) CABECPAG(1);
        put(0, rt::STRZERO(field_number(t, "I2R_07"), 2));
        put(8, shown(field_number(t, "I2R_04"), kRuralPercent));
        put(24, rt::STR(field_number(t, "I2R_05"), 1));
        put(49, rt::LEFT(field_text(t, "I2R_01"), 60));
        if (in_brazil()) {
            put(110, shown(field_number(t, "I2R_02"), kArea));
            put(122, field_text(t, "I2R_03"));
        }
        skip_lines();
        if (const std::string where = field_text(t, "I2R_06"); !where.empty()) line(49, where);
    });
}

void abroad_receipts() {
    put(0, "PAIS");
    put(40, "RECEITAS");
    put(58, "DESPESAS");
    put(74, "RESULTADO I");
    line(92, "RESULTADO I EM US$");
    activity_rows(kFarms, [](rt::table::Table& t) {
        if (QLIN() > kPageEnd) CABECPAG(2);
        const std::string code = field_text(t, "CODPAIS");
        const double receipts = field_number(t, "RECEXT"), expenses = field_number(t, "DESEXT");
        put(0, code + " " + rt::LEFT(country_name(code), 30));
        put(34, shown(receipts));
        put(52, shown(expenses));
        put(70, shown(receipts - expenses));
        line(92, shown(field_number(t, "RESUS")));
    });
    put(0, "TOTAL");
    line(92, shown(number("I4R_01")));
}

void results() {
    line(0, "APURACAO DO RESULTADO");
    if (in_brazil()) {
        value_row("Receita Bruta Total", number("I4R_01"));
        value_row("Despesas de custeio e investimentos", number("I4R_02"));
        value_row("Resultado I ", number("I4R_03"));
    } else {
        value_row("Resultado I em US$", number("I4R_01"));
        value_row("Resultado I em R$ ", number("I4R_03"));
    }
    skip_lines();
    line(0, "APURACAO DO RESULTADO TRIBUTAVEL");
    value_row("Prejuizo de Exercicio Anterior", number("I4R_04"));
    value_row("Resultado apos a comp. de prejuizo", number("I4R_05"));
    value_row("Opcao pelo Arbitramento sobre Receita Bruta ", number("I4R_06"));
    value_row("RESULTADO TRIBUTAVEL", number("I4R_07"));
    skip_lines();
    if (QLIN() + 8 > kPageEnd) CABECPAG(2);
    line(0, "INFORMACOES PARA O EXERCICIO SEGUINTE ");
    value_row("Prejuizo a compensar", number("I5_08"));
    value_row("Receita recebida em 2011 por conta de venda p/entrega futura", number("I5_09"));
    skip_lines();
    line(0, "APURACAO DO RESULTADO NAO-TRIBUTAVEL");
    value_row("Adiantamento em at\x82 2010 ref. a produtos entregue em 2011", number("I5_10"));
    value_row("RESULTADO NAO-TRIBUTAVEL", number("I6_10"));
}

void herd() {
    line(0, "MOVIMENTACAO DO REBANHO (quantidade de animais)");
    line(0, "     ESPECIE          ESTOQUE INICIAL     COMPRAS NO ANO    NASCIDOS NO ANO   CONSUMO E PERDAS      VENDAS NO ANO      ESTOQUE FINAL");
    constexpr const char* kSpecies[] = {"B", "S", "C", "A", "V1"};
    constexpr const char* kCaptions[] = {"BOVINOS/BUFALINOS", "SUINOS           ", "CAPRINOS E OVINOS",
                                         "ASININOS E MUARES", "OUTROS           "};
    for (int s = 0; s < 5; ++s) {
        const std::string letter = kSpecies[s];
        const auto count = [&](int column) { return number("I7_" + std::to_string(column) + letter); };
        Global{"I7_T" + std::to_string(s + 1)}.set(rt::Value(count(1) + count(2) + count(3) - count(4) - count(5)));
    }
    for (int s = 0; s < 5; ++s) MOSLIN(kCaptions[s], s + 1, kSpecies[s]);
}

// Lines of a long description, 90 characters each.
void description_lines(int col, const std::string& description) {
    for (std::size_t at = 90; at < description.size(); at += 90) {
        if (QLIN() > kPageEnd) return;
        line(col, description.substr(at, 90));
    }
}

}  // namespace

void CABECPAG(int kind) {
    if (kind == 0) {
        rt::os::printer().set_position(0, 0);
        set_qlin(0);
    } else {
        new_page();
    }
    rt::os::printer().write_raw(Global{"STRING0"}.text());
    wide_separator();
    put(0, "Nome: " + text("NOMECONTR"));
    line(100, "EXERCICIO 2012");
    put(0, "CPF: " + rt::TRANSFORM(rt::Value(text("CPF")), kCpfPicture));
    line(100, "Ano-Calendario 2011");
    put(0, std::string("ATIVIDADE RURAL - ") + (in_brazil() ? "BRASIL" : "EXTERIOR"));
    line(100, "IMPOSTO DE RENDA - PESSOA FISICA");
    wide_separator();
    if (kind == 1) farm_heading();
    if (kind == 3) line(0, kAssetsHeading);
    if (kind == 4) line(0, kDebtsHeading);
}

void IMPRECDEC() {
    put(0, " MES");
    put(22, "RECEITA BRUTA");
    line(40, "DESPESAS DE CUSTEIO E INVESTIMENTOS");
    double receipts = 0.0, expenses = 0.0;
    for (int month = 1; month <= 12; ++month) {
        const std::string mm = rt::STRZERO(month, 2);
        const double r = number("I3_" + mm + "OR"), d = number("I3_" + mm + "OD");
        put(1, common::TRAZ_MES(month));
        put(17, shown(r));
        line(52, shown(d));
        receipts += r, expenses += d;
    }
    put(1, "TOTAL");
    put(17, shown(receipts));
    line(52, shown(expenses));
}

void LIST_BENS() {
    if (QLIN() + 5 > kPageEnd) CABECPAG(2);
    line(0, kAssetsHeading);
    int count = 0;
    activity_rows(kAssets, [&](rt::table::Table& t) {
        if (QLIN() > kPageEnd - 2) CABECPAG(3);
        const std::string description = field_text(t, "I8R_1");
        put(0, rt::STRZERO(field_number(t, "CODIGO"), 3));
        put(6, description.substr(0, 90));
        line(100, shown(field_number(t, "I8R_2")));
        description_lines(6, description);
        ++count;
    });
    if (count == 0) line(0, "Sem informacoes");
}

void LIST_DIV() {
    if (QLIN() + 5 > kPageEnd) CABECPAG(2);
    line(0, kDebtsHeading);
    put(6, "DISCRIMINACAO");
    line(97, "Saldo em 31/12/2010 Saldo em 31/12/2011");
    int count = 0;
    activity_rows(kDebts, [&](rt::table::Table& t) {
        if (QLIN() > kPageEnd - 2) CABECPAG(4);
        const std::string description = field_text(t, "I9R_1");
        put(0, rt::STRZERO(field_number(t, "ITEM"), 3));
        put(6, description.substr(0, 90));
        put(98, shown(field_number(t, "I9R_2")));
        line(118, shown(field_number(t, "I9R_3")));
        description_lines(6, description);
        ++count;
    });
    if (count == 0) line(0, "Sem informacoes");
}

void MOSLIN(std::string_view caption, int species, std::string_view letter) {
    put(0, caption);
    int col = 28;
    for (int column = 1; column <= 5; ++column, col += 19)
        put(col, shown(number("I7_" + std::to_string(column) + std::string(letter)), kHerd));
    line(col, shown(number("I7_T" + std::to_string(species)), kHerd));
}

void FAZ_RURAL1(std::string_view where) {
    ActivityKept kept;
    if (!load_summary(where)) return;
    if (QLIN() > 0) new_page();
    CABECPAG(0);
    farms();
    skip_lines();
    if (QLIN() + (in_brazil() ? 17 : 9) > kPageEnd) CABECPAG(2);
    line(0, "RECEITAS E DESPESAS");
    if (in_brazil()) IMPRECDEC();
    else abroad_receipts();
    skip_lines();
    if (QLIN() + 10 > kPageEnd) CABECPAG(2);
    results();
    new_page();
}

void FAZ_RURAL2(std::string_view where) {
    ActivityKept kept;
    if (!load_summary(where)) return;
    if (QLIN() > 0) new_page();
    CABECPAG(0);
    herd();
    skip_lines();
    LIST_BENS();
    skip_lines();
    LIST_DIV();
    new_page();
}

void rural_summary_table() {
    ActivityKept kept;
    if (!load_summary("S")) return;
    CABECPAG(0);
    set_qlin(15);
    IMPRECDEC();
}

}  // namespace qv::printing
