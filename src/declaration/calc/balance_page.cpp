#include "declaration/calc/balance_page.hpp"

#include <mutex>
#include <span>
#include <vector>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/calc/cash_balance.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr const char* kAmount = "@Ez 999,999,999.99";
constexpr int kAssetsArea = 24;
constexpr int kDebtsArea = 25;
constexpr int kListsPage = 5;
// The full-screen list of assets or of debts keeps its totals on the line
// under the grid.
constexpr int kZoomPage = 23, kZoomTotalsRow = 20;
constexpr int kBalancePage = 10;
// Columns of the balance page: the entry fields of each side stand in its
// value column.
constexpr int kResourceLabel = 1, kResourceValue = 25, kOutgoingLabel = 40, kOutgoingValue = 64;
constexpr int kSoSimplesCol = 60, kSomagCol = 22;

struct ListTotals {
    const char* start;       // 31/12/2010
    const char* end;         // 31/12/2011
    const char* declared;    // last year's declared 2010 value
};

void say(int page, int row, int col, const std::string& text) {
    rt::at_say(page_row(page) + row, page_col(page) + col, text);
}

std::string shown(double v) { return rt::TRANSFORM(rt::Value(v), kAmount); }

bool rectification() { return is("RETIFICA", 'S'); }

// Last year's declared total in the warning colour when it differs from 2010's.
void show_totals(int page, int row, const ListTotals& names) {
    const double declared = amount(names.declared);
    // Under the headings "Declarado em 2010" and "Em 31/12/2011"; last
    // year's value between them and the label.
    constexpr int kDeclaredCol = 30, kStartCol = 49, kEndCol = 65;
    // Last year's total is compared only when there is one: a taxpayer
    // without last year's values would otherwise see a lone "0.00".
    if (!rectification() && declared != 0 && declared != amount(names.start)) {
        common::AVISO(shown(declared), page_row(page) + row, page_col(page) + kDeclaredCol);
    } else {
        say(page, row, kDeclaredCol, shown(declared));
    }
    say(page, row, kStartCol, shown(amount(names.start)));
    say(page, row, kEndCol, shown(amount(names.end)));
}

void list_totals(int area, const char* start_field, const char* end_field, const char* declared_field,
                 const ListTotals& names) {
    double start = 0, end = 0, declared = 0;
    for_each_row(area, [&](rt::table::Table& t) {
        if (t.deleted()) return;
        start += field_number(t, start_field);
        end += field_number(t, end_field);
        declared += field_number(t, declared_field);
    });
    set_amount(names.start, start);
    set_amount(names.end, end);
    set_amount(names.declared, declared);
}

struct BalanceRow {
    const char* resource;
    double resource_value;
    const char* outgoing;
    double outgoing_value;
};

std::vector<BalanceRow> balance_rows() {
    const bool spouse = amount("I9_2") != 0 || amount("I9_3") != 0;
    const bool summed = !is("SOMAG", 'N');
    return {
        {"Rendimento tributável(1)", amount("I13_08"), "Impostos pagos no ano(8)",
         amount("I13_35") + amount("I13_46") + amount("I13_47") + amount("I13_48")},
        {"Rendimentos isentos  (2)", amount("I13_44"), "Imposto de anos anteri.", amount("IMPOANTER")},
        {"Rend.tributado fonte (3)", amount("I13_45") + amount("I13_46") - amount("I4_03"), "Despesas declaradas  (9)",
         declared_expenses()},
        {"Ganho  Renda Variável(4)", amount("LUCRRVA"), "Perda Renda Variável (4)", amount("PREJRVA")},
        {spouse ? "Renda oficial Cônjuge(5)" : "                        ", amount("I9_2"), "Custo p/manter os bens ",
         amount("DESPNAO")},
        {spouse ? "Outras Rendas Cônjuge(5)" : "                        ", 0, "Perdas na venda de Bens", amount("PREJVEN1")},
        {"Empréstimos          (7)", amount("EMPREST"), "Prejuízo na Ativ. Rural", amount("PREJRUR")},
        {"Empréstimos Ativ.Rural ", amount("EMPRUR"), "Amortiz. Dívidas Rurais", amount("AMORUR")},
        {"Entradas no G.Capital(6)", amount("ENTRADGP"), "Custo Bens Baixados  (6)", amount("CUSTOANT")},
        {"Abat.Isento/Trib. GC (6)", -amount("ISENTNAO"), "Custo Ano Bem Vendido(6)", amount("CUSTOANO")},
        {"Redução Patrimonial  (7)", amount("I10_2"), "Aumento Patrimonial  (7)", amount("I10_1")},
        {"Exigibilidade suspensa ", amount("EXGSUSP"), nullptr, 0},
        {nullptr, 0, "Total das DESPESAS.....", amount("DESPESA")},
        {"Ganho Cap. Diferido    ", summed ? amount("VALFUTUR") : 0, nullptr, 0},
        {"Total das RECEITAS.....", amount("RECEITA"), " Renda média mensal    ", amount("RECEITA") / 12},
        {"Valor a receber futuro ", summed ? 0 : amount("VALFUTUR"), " Saldo mensal médio    ", amount("SALDO") / 12},
    };
}

void show_balance_line() {
    const double saldo = amount("SALDO");
    const std::string percent = rt::TRANSFORM(rt::Value(amount("INDGAS")), "@Z 999.99");
    const int row = page_row(kBalancePage) + 14;
    const int percent_col = page_col(kBalancePage) + kOutgoingLabel + 12;
    const int value_col = page_col(kBalancePage) + kOutgoingValue;
    const bool warn = saldo <= 0 || amount("INDGAS") < amount("INDALERTA");
    say(kBalancePage, 14, kOutgoingLabel, saldo > 0 ? "   Saldo de " : "D\x82" "ficit de  ");
    for (const auto& [col, text] : {std::pair{percent_col, percent + "%"}, {value_col, shown(saldo)}}) {
        if (warn) common::AVISO(text, row, col);
        else rt::at_say(row, col, text);
    }
}

}  // namespace

double declared_expenses() {
    if (!is("USAPADRAO", 'S')) return amount("DESPDECLA") + amount("I13_09") + amount("I13_12") + amount("I13_18");
    if (is("SO_SIMPLES", 'S')) return amount("DESPADRAO") + amount("DESPSIMP");
    return amount("DESPDECLA") + amount("I13_09") + amount("I13_18");
}

void FI7_T(int screen) {
    const ListTotals names{"I13_39", "I13_40", "NTOTBANT1"};
    list_totals(kAssetsArea, "I7_3", "I7_4", "I7_9", names);
    if (screen == 5) show_totals(kListsPage, 11, names);
    else if (screen == 6 || screen == 22) show_totals(kZoomPage, kZoomTotalsRow, names);
}

void FI8_T(int screen) {
    const ListTotals names{"I13_41", "I13_42", "NTOTDANT1"};
    list_totals(kDebtsArea, "I8_3", "I8_4", "I8_6", names);
    if (screen == 6) show_totals(kListsPage, 22, names);
    else if (screen == 7 || screen == 23) show_totals(kZoomPage, kZoomTotalsRow, names);
}

bool MOS_BALAN() {
    set_value("JA_CALC", rt::Value(false));
    CALC_PREJU();
    // The exempt and exclusive rows follow what the gains, the rural
    // activity and the variable income left since page 3 was last shown.
    CALC(5, 0);
    SOMA_TRIBENAO(0);
    VE_SALDO();
    int row = 1;
    for (const BalanceRow& r : balance_rows()) {
        if (r.resource) {
            say(kBalancePage, row, kResourceLabel, rt::PADR(rt::utf8_to_cp850(r.resource), 24));
            say(kBalancePage, row, kResourceValue, shown(r.resource_value));
        }
        if (r.outgoing) {
            say(kBalancePage, row, kOutgoingLabel, rt::PADR(rt::utf8_to_cp850(r.outgoing), 24));
            say(kBalancePage, row, kOutgoingValue, shown(r.outgoing_value));
        }
        ++row;
    }
    // The page's two answers stand inside the labels just painted.
    if (is("USAPADRAO", 'S')) say(kBalancePage, 3, kSoSimplesCol, rt::PADR(text("SO_SIMPLES"), 1));
    say(kBalancePage, 14, kSomagCol, rt::PADR(text("SOMAG"), 1));
    const double receita = amount("RECEITA");
    set_amount("INDGAS", receita == 0 ? 0 : amount("SALDO") / receita * 100);
    VE_LIM_NEG();
    show_balance_line();
    return true;
}

std::string balance_hint(int field) {
    switch (field) {
        case 1: return "Tecle Ctrl Enter para editar as despesas para a manutenção dos bens.";
        case 2: return "Impostos pagos p/ Receita em 2011 como IRPF, G.Capital atrasado, etc";
        case 3: return "Informe com S (sim) ou N (não) deseja a soma desse valor como receita.";
        case 4: return "Informe receitas não previstas ou valor p/compensar despesas.";
        case 5: return "Informe valor de gastos usuais para sua manutenção.";
        case 6: return "Informe o percentual para o alerta.";
        case 7: return "Informe o valor a ser cobrado por essa declaração.";
        case 8: return "Informe os prejuízos na vendas bens de pequeno valor.(sem Ganho de Capital.)";
        case 10: return "Digite S para conferir N para Não ou A para conferência automática";
        case 11: return "Se S o BALANÇO usa como despesa só desconto padrão. Se N usa todas";
        default: return {};
    }
}

bool MOSTEX(int field) {
    // The question on summing the deferred gain has nothing to ask without one.
    if (field == 3 && amount("VALFUTUR") == 0) return false;
    common::MensArgs args;
    args.row = 1;
    args.col = rt::Value("C");
    common::MENS(0, rt::utf8_to_cp850(balance_hint(field)), args);
    return true;
}

void POEDESP() {
    if (rt::READVAR() != "DESPNAO" && rt::READVAR() != "M->DESPNAO") return;
    const int back = tables::ws().selected();
    if (tables::ABERTURA(49)) call_if_present("EDITA", {rt::Value(15)});
    tables::ws().close(49);
    tables::ws().select(back);
    TOTALDESP();
    MOS_BALAN();
    if (rt::Get* g = rt::current_get()) g->update_buffer();
}

void register_balance_page_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a) { return a.empty() ? 0 : static_cast<int>(common::number_of(a[0])); };
        rt::register_function("FI7_T", [num](Args a) { FI7_T(num(a)); return rt::Value(true); });
        rt::register_function("FI8_T", [num](Args a) { FI8_T(num(a)); return rt::Value(true); });
        rt::register_function("MOS_BALAN", [](Args) { return rt::Value(MOS_BALAN()); });
        rt::register_function("MOSTEX", [num](Args a) { return rt::Value(MOSTEX(num(a))); });
        rt::register_function("POEDESP", [](Args) { POEDESP(); return rt::Value(); });
    });
}

}  // namespace qv::declaration
