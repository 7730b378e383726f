// Page group 5: the pre-check list, the year's receipts against its
// outgoings with their shares, the reserve and the advice.
#include <algorithm>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "declaration/calc/balance_page.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/precheck_advice.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {

namespace {

constexpr int kIncomeArea = 22;
constexpr int kAssetsArea = 24;

struct Item {
    std::string label;     // 43 characters, for the pre-check list
    std::string balance;   // at most 24, whole words, for the balance
    double value;
    bool only_positive = false;
};

double v(const char* name) { return number(name); }

double suspended_total() {
    double total = 0.0;
    for_rows(kIncomeArea, [&](rt::table::Table& t) { total += t.get("I1_19").as_number(); });
    return total;
}

bool has_property() {
    bool found = false;
    for_rows(kAssetsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(t.get("I7_5").as_number());
        found = found || (code >= 1 && code <= 28);
    });
    return found;
}

std::string share(double value, double base) { return base != 0.0 ? shown(value / base * 100.0, kPercent) : ""; }

// The lines of the balance page, with its figures: the tax paid on capital
// gains counts with the income taxed at source, not with the gains' entries.
std::vector<Item> receipts(bool future_in_total) {
    std::vector<Item> items{
        {"Rendimentos tributaveis ...................", "Rendimentos tributaveis", v("I13_08")},
        {"Rendimentos isentos .......................", "Rendimentos isentos", v("I13_44")},
        {"Rendimentos tributacao exclusiva ..........", "Rend. trib. exclusiva", v("I13_45") + v("I13_46") - v("I4_03")},
        {"Ganhos em renda variavel ..................", "Ganhos em renda variavel", v("LUCRRVA")},
        {"Diminuicao dos bens .......................", "Diminuicao dos bens", v("I10_2")},
        {"Renda oficial do conjuge ..................", "Renda oficial do conjuge", v("I9_2")},
        {"Outras rendas/despesas do conjuge .........", "Outras rendas do conjuge", v("I9_3") - v("I9_2")},
        {"Emprestimos ...............................", "Emprestimos", v("EMPREST")},
        {"Emprestimos da atividade rural ............", "Emprestimos ativ. rural", v("EMPRUR")},
        {"Entradas de ganho de capital ..............", "Entradas ganho capital", v("ENTRADGP")},
        {"Deducao de ganhos isentos e tributados ....", "Ded. ganhos isent./trib.", -v("ISENTNAO")},
        {"Exigibilidade suspensa ....................", "Exigibilidade suspensa", suspended_total()},
        {"Outras receitas ...........................", "Outras receitas", v("OUTREC")},
    };
    if (future_in_total) items.push_back({"Valor a receber no proximo exercicio ......", "G.Capital a receber", v("VALFUTUR")});
    return items;
}

// The balance takes the balance page's declared expenses; the pre-check list
// of the simplified model only the standard discount.
std::vector<Item> outgoings(bool balance) {
    std::vector<Item> items;
    if (text("USAPADRAO") == "S") {
        if (!balance || text("SO_SIMPLES") == "S")
            items.push_back({"Total do abatimento .......................", "Total do abatimento",
                             balance ? declaration::declared_expenses() : v("DESPADRAO")});
        else
            items.push_back({"Despesas declaradas .......................", "Despesas declaradas",
                             declaration::declared_expenses()});
        items.push_back({"Impostos de anos anteriores pagos em 2011 .", "Impostos anos anteriores", v("IMPOANTER"), true});
    } else {
        items.push_back({"Pagamentos Declarados .....................", "Pagamentos declarados", v("DESPDECLA") + v("I13_09") + v("I13_12") + v("I13_18")});
        items.push_back({"Impostos de anos anteriores pagos em 2011 .", "Impostos anos anteriores", v("IMPOANTER"), true});
        items.push_back({"Imposto pago no exterior ..................", "Imposto pago no exterior", v("I13_32")});
    }
    const std::vector<Item> common_items{
        {"Imposto Lei 11.033 retido na fonte ........", "Imp. Lei 11.033 na fonte", v("I13_48"), true},
        {"Imposto retido titular e dependentes ......", "Imposto retido tit./dep.", v("I13_27") + v("I13_28")},
        {"Carne-leao titular e dependentes ..........", "Carne-leao tit./dep.", v("I13_29") + v("I13_30")},
        {"Imposto complementar e retido RRA .........", "Imp. complementar e RRA", v("I13_31") + v("I13_33") + v("I13_34")},
        {"Imposto sobre ganho de capital ............", "Imposto ganho de capital", v("I13_46"), true},
        {"Imposto sobre renda variavel ..............", "Imposto renda variavel", v("I13_47"), true},
        {"Custo dos bens baixados ...................", "Custo dos bens baixados", v("CUSTOANT")},
        {"Custo dos bens vendidos no ano ............", "Custo bens vendidos ano", v("CUSTOANO")},
        {"Aumento dos bens ..........................", "Aumento dos bens", v("I10_1")},
        {"Amortizacao de dividas rurais .............", "Amortizacao div. rurais", v("AMORUR"), true},
        {"Prejuizo em renda variavel ................", "Prejuizo renda variavel", v("PREJRVA"), true},
        {"Prejuizo na venda de bens de pequeno valor ", "Prejuizo bens peq. valor", v("PREJVEN1"), true},
        {"Prejuizo da atividade rural ...............", "Prejuizo ativ. rural", v("PREJRUR"), true},
        {"Gastos para manutencao do patrimonio ......", "Manutencao do patrimonio", v("DESPNAO")},
        {"Gastos pessoais ...........................", "Gastos pessoais", v("OUTRDES")},
    };
    items.insert(items.end(), common_items.begin(), common_items.end());
    return items;
}

double total(const std::vector<Item>& items) {
    double sum = 0.0;
    for (const Item& i : items) sum += i.value;
    return sum;
}

// The balance's columns hold 24 characters of label.
std::string label_of(const Item& i) { return rt::PADR(i.balance, 24); }

}  // namespace

bool MOSBALAN() {
    declaration::call_named("VE_SALDO");
    const bool future_in_total = text("SOMAG") != "N";
    const std::vector<Item> in = receipts(future_in_total), out = outgoings(true);
    const double received = total(in), spent = total(out), balance = received - spent;
    PULA_PAG(20);
    line(0, " B A L A N C O");
    wide_separator();
    for (std::size_t n = 0; n < std::max(in.size(), out.size()); ++n) {
        if (n < in.size()) put_amount(0, label_of(in[n]), in[n].value, 25);
        if (n < out.size()) put_amount(45, label_of(out[n]), out[n].value, 25);
        skip_lines();
    }
    put_amount(0, "Total das RECEITAS......", received, 25);
    put_amount(45, "Total das DESPESAS.....", spent, 25);
    skip_lines();
    if (!future_in_total) {
        put_amount(0, "G.Capital a receber ", v("VALFUTUR"), 25);
        skip_lines();
    }
    put_amount(0, balance > 0.0 ? "Saldo  ......." : "Deficit .......", balance, 25);
    skip_lines();
    put_amount(0, "Renda media mensal", received / 12.0, 25);
    put_amount(45, "Saldo mensal medio", balance / 12.0, 25);
    skip_lines();
    if (balance < 0.0) {
        separator();
        line(0, "*  MUITA ATENCAO!!  DECLARACAO COM PROBLEMAS DE CAIXA *");
        separator();
    }
    return true;
}

void PAGINA5(int /*sheet*/) {
    declaration::call_named("VE_SALDO");
    const bool future_in_total = text("SOMAG") != "N";
    const std::vector<Item> in = receipts(future_in_total), out = outgoings(false);
    const double received = total(in), spent = total(out);
    CABEC_PAG(0);
    line(0, "CALCULO DA MALHA FINA IR PESSOA FISICA 2012/2011 ");
    separator();
    line(0, "      RECEITAS                              SITUACAO ATUAL % total      ");
    for (const Item& i : in) {
        put(0, i.label);
        put(44, shown(i.value));
        line(64, share(i.value, received));
    }
    put(0, "      TOTAL DAS RECEITAS ..................");
    put(44, shown(received));
    line(64, received > 0.0 ? shown(100.0, kPercent) : "");
    if (!future_in_total) {
        put(0, "Valor a receber no proximo exercicio ......");
        line(44, shown(v("VALFUTUR")));
    }
    separator();
    line(0, "     DESPESAS                              SITUACAO ATUAL  % Desp.  %Rec.");
    for (const Item& i : out) {
        if (i.only_positive && i.value <= 0.0) continue;
        put(0, i.label);
        put(44, shown(i.value));
        put(63, share(i.value, spent));
        line(72, share(i.value, received));
    }
    put(0, "     TOTAL DOS GASTOS .....................");
    put(44, shown(spent));
    line(63, spent > 0.0 ? shown(100.0, kPercent) : "");
    separator();
    const CashFigures figures{received, spent, v("I13_14"), v("DESPNAO"), v("OUTRDES"), has_property(),
                              common::Global{"INDALERTA"}.number(10)};
    const double balance = received - spent;
    put(0, balance > 0.0 ? "RESERVA ........." : "DEFICIT .........");
    put(18, shown(balance));
    line(40, shown(reserve_index(figures), kPercent) + " %");
    for (const std::string& advice : precheck_advice(figures)) line(0, advice);
    new_page();
}

}  // namespace qv::printing
