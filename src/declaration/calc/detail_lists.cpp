#include "declaration/calc/detail_lists.hpp"

#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/patrimonial_variation.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr int kDetailTable = 68;
constexpr int kGainsArea = 27;
constexpr int kParcelsArea = 28;
constexpr int kBaseYear = 2011;

double percent_of(double v, const char* total) {
    const double t = amount(total);
    return t == 0 ? 0 : v / t * 100;
}

// The detail table, emptied on opening.
class Detail {
public:
    Detail() {
        back_ = tables::ws().selected();
        if (!tables::ABERTURA(kDetailTable, true)) return;
        t_ = tables::ws().table(kDetailTable);
        if (t_) t_->zap();
    }
    ~Detail() { tables::ws().select(back_); }
    Detail(const Detail&) = delete;
    Detail& operator=(const Detail&) = delete;

    // A row when the amount is not zero; its amount is added to the total.
    void item(std::string_view utf8, double v, bool of_expenses = false) {
        if (v == 0) return;
        row(rt::utf8_to_cp850(utf8), v, of_expenses);
        total_ += v;
        ++items_;
    }
    // A row of text already in CP850.
    void item_cp(const std::string& text, double v) {
        if (v == 0) return;
        row(text, v, false);
        total_ += v;
        ++items_;
    }
    void total(std::string_view utf8, double v, bool of_expenses = false) {
        row(rt::utf8_to_cp850(utf8), v, of_expenses);
    }
    double sum() const { return total_; }
    int items() const { return items_; }
    // Browses the list, or says there is nothing.
    bool show(int mode) {
        if (items_ == 0 || !t_) {
            common::MENS(11, "Nada declarado");
            return false;
        }
        t_->go_top();
        call_if_present("EDITA", {rt::Value(32), rt::Value(mode)});
        return true;
    }

private:
    void row(const std::string& text, double v, bool of_expenses) {
        if (!t_ || !t_->append_blank()) return;
        t_->put("DESCRICAO", rt::Value(rt::LEFT(text, 40)));
        t_->put("VALORDOC", rt::Value(v));
        t_->put("PERCRECE", rt::Value(std::abs(percent_of(v, "RECEITA"))));
        if (of_expenses) t_->put("PERCDESP", rt::Value(std::abs(percent_of(v, "DESPESA"))));
        t_->commit();
    }

    rt::table::Table* t_ = nullptr;
    int back_ = 0;
    double total_ = 0;
    int items_ = 0;
};

Detail* g_open = nullptr;   // the list being filled, for POERESTO

struct Line {
    const char* text;
    const char* var;
};

void lines(Detail& d, std::initializer_list<Line> items, bool of_expenses = false) {
    for (const Line& l : items) d.item(l.text, amount(l.var), of_expenses);
}

bool taxable() {
    Detail d;
    if (amount("I13_08") <= 0) return d.show(1);
    lines(d, {{"Recebido de P.Jurídica pelo Titular ", "I13_01"}, {"Recebido de P.Jurídica pelo Dependente", "I13_02"},
              {"Rec. P.Física pelo Titular ", "I13_03"}, {"Recebido de P.Física pelo Dependente", "I13_04"},
              {"Recebido do Exterior pelo Titular ", "I13_49"}, {"Recebido do Exterior pelo Dependente", "I13_50"},
              {"Acumulado do Titular ", "I13_05"}, {"Acumulado do Dependente", "I13_06"},
              {"Resultado Tributável da Atividade Rural", "I13_07"}});
    d.total("Total dos Rendimentos Tributáveis", amount("I13_08"));
    return d.show(1);
}

bool exempt() {
    Detail d;
    static const char* const texts[] = {"Bolsa de Estudo ", "Capital ou Prêmio de seguro pago",
                                        "Indenizações p/rescisão ou acidentes", "Valores isentos no ganho de capital",
                                        "Lucros e dividendos recebidos", "Parcela isenta aposentad. Maior 65 anos",
                                        "Pensão,aposentadoria por moléstia grave", "Rendimentos de caderneta de poupança",
                                        "Rendimentos de Sócio de ME ou EPP", "Transf. patrimonial, doações, heranças",
                                        "Parcela isenta da atividade rural", "Outros ",
                                        "IR de anos anteriores compensado", "75% de rend. recebido por servidor exter.",
                                        "Incorporação de reservas ao capital", "Rendimentos isentos dos dependentes"};
    for (int line = 1; line <= 16; ++line) {
        const double v = amount("I3_" + rt::STRZERO(line, 2));
        if (line == 12) d.item_cp("Outros " + rt::LEFT(text("I3_12D"), 33), v);
        else d.item(texts[line - 1], v);
    }
    d.total("Total dos rendimentos isentos", amount("I13_44"));
    return d.show(1);
}

bool exclusive() {
    Detail d;
    d.item("Décimo terceiro salário (do Titular) ", amount("I4_01"));
    d.item("Ganhos de capital na alienação de bens", amount("I4_02") + amount("I13_46"));
    d.item("Rendimentos de aplicações financeiras ", amount("I4_04"));
    d.item_cp("Outros " + rt::LEFT(text("I4_05D"), 33), amount("I4_05"));
    d.item("Recebido acumulado pelo titular       ", amount("I4_06"));
    d.item("13ro Salário recebido pelos dependentes", amount("I4_07"));
    d.item("Recebido acumulado pelos dependentes  ", amount("I4_08"));
    d.item_cp("Outros depen" + rt::LEFT(text("I4_09D"), 28), amount("I4_09"));
    d.total("Total do rendimento tributado na fonte", d.sum());
    return d.show(1);
}

bool variable_income() {
    Detail d;
    double gains = 0, losses = 0;
    for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (t.deleted() || field_number(t, "TIPO_BEM") != 4 || field_number(t, "RVAR_NRO") != 14) return;
        if (rt::ALLTRIM(t.get("DAY_TRADE").as_string()) == "3") return;
        for (int m = 1; m <= 12; ++m) {
            const double v = field_number(t, "REC_MES" + rt::STRZERO(m, 2));
            if (v > 0) gains += v;
            else losses -= v;
            d.item_cp((v > 0 ? "Lucro no mês "_cp : "Prejuízo no mês "_cp) + common::TRAZ_MES(m),
                      v > 0 ? v : -v);
        }
    });
    d.total("Total Ganho na Renda Variável", gains);
    d.total("Total Prejuízo na Renda Variável", losses);
    return d.show(0);
}

// The spouse's summary lines (fetched from the spouse's declaration or
// typed), the tax paid named after the spouse's model and subtracted, then
// the official income and what the balance takes from the spouse.
bool spouse() {
    Detail d;
    const bool simplified = rt::TRIM(common::Global{"CONJPAD"}.text()) == "S";
    d.item("Base de cálculo do cônjuge", amount("I13_1C"));
    d.item(simplified ? "Imposto retido do cônjuge (simplificada)" : "Imposto devido do cônjuge (completa)",
           -amount("I13_4C"));
    lines(d, {{"Rendimentos isentos do cônjuge", "I13_2C"}, {"Tributação exclusiva do cônjuge", "I13_3C"},
              {"Exigibilidade suspensa do cônjuge", "I13_5C"}});
    d.item("Total rendimento oficial do conjuge", amount("I9_2"));
    const bool fetched = rt::TRIM(common::Global{"I9_4"}.text()) == "S";
    d.item(fetched ? "Saldo no balanço do cônjuge" : "Outras rendas do cônjuge", amount("I9_3"));
    d.total("Diferença entre Rendimento e Saldo", amount("I9_3") - amount("I9_2"));
    return d.show(1);
}

// The acquisition parcels (table 28, RVAR_NRO 0) of the gains: those paid
// in the base year, and the earlier ones of assets sold this year, each as
// the asset's description and the parcel's date.
void cost_rows(Detail& d, const std::map<int, std::string>& descriptions, const std::set<int>& sold_now, bool this_year) {
    for_each_row(kParcelsArea, [&](rt::table::Table& t) {
        if (t.deleted() || field_number(t, "RVAR_NRO") != 0) return;
        const int number = static_cast<int>(field_number(t, "BEM_NRO"));
        const rt::Value date = t.get("DATA_CUST");
        const bool in_year = date.is_date() && rt::YEAR(date.as_date()) == kBaseYear;
        if (this_year ? !in_year : in_year || !sold_now.count(number)) return;
        const auto it = descriptions.find(number);
        const std::string text = it == descriptions.end() ? std::string() : it->second;
        d.item_cp(rt::LEFT(rt::TRIM(text), 26) + " Em " + rt::DTOC(date.as_date()), field_number(t, "VALOR_CUST"));
    });
}

bool capital_gains() {
    Detail d;
    double received = 0;
    std::map<int, std::string> descriptions;
    std::set<int> sold_now;
    for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (t.deleted() || field_number(t, "TIPO_BEM") >= 4) return;
        const int number = static_cast<int>(field_number(t, "BEM_NRO"));
        descriptions[number] = t.get("ESPC_BEM").as_string();
        const rt::Value sale = t.get("DATA_ALI");
        if (t.get("VENDAANT").as_string() != "S" && sale.is_date() && rt::YEAR(sale.as_date()) == kBaseYear)
            sold_now.insert(number);
        const double v = field_number(t, "VAL_RECOL");
        received += v;
        d.item_cp(rt::LEFT(rt::TRIM(t.get("ESPC_BEM").as_string()), 40), v);
    });
    d.total("Total das entradas no Ganho de Capital", received);
    cost_rows(d, descriptions, sold_now, true);
    if (amount("CUSTOANO") != 0) d.total("Total do custo no ano dos Bens Vendidos", amount("CUSTOANO"));
    cost_rows(d, descriptions, sold_now, false);
    if (amount("CUSTOANT") != 0) d.total("Total do custo dos Bens Baixados", amount("CUSTOANT"));
    const double before = d.sum();
    lines(d, {{"Bens de pequeno valor", "I3_04GCPVC"}, {"Venda do único imóvel nos últimos 5 anos", "I3_04UNICC"},
              {"Valor da redução na venda de imóveis", "I3_04REDUC"}});
    d.item("Valor tributado na alienação de Bens", amount("I4_02") + amount("I13_46"));
    d.total("Total Abatimento de Isentos e Tributado", d.sum() - before);
    d.item("Ganho de capital diferido", amount("VALFUTUR"));
    return d.show(0);
}

bool variation() {
    FI10_1();
    Detail d;
    d.item(" Valor dos Bens declarado em 2011 (+)", amount("NTOTBEMBASE"));
    d.item(" Valor das Dívidas declarado em 2010 (-)", amount("NTOTDIVANT"));
    d.item(" Valor dos Bens declarado em 2010 (+)", amount("NTOTBEMANT"));
    d.item(" Valor das Dívidas declarado em 2011 (=)", amount("NTOTDIVBASE"));
    d.item(" Variação nos Bens ", amount("VARBEN"));
    d.item(" Variação nas Dívidas", -amount("VARDIV"));
    d.total(" Variação Patrimonial total", amount("VARPATR"));
    return d.show(0);
}

bool taxes() {
    Detail d;
    lines(d, {{"Imposto retido do Titular", "I13_27"}, {"Imposto retido do Dependente", "I13_28"},
              {"Carnê Leão do Titular ", "I13_29"}, {"Carnê Leão do Dependente", "I13_30"},
              {"Imposto complementar ", "I13_31"}, {"Imposto Pago no Exterior", "I13_32"},
              {"Imposto Lei 11.033/2004", "I13_33"}, {"Imposto retido RRA     ", "I13_34"},
              {"Impostos Sobre Ganho de Capital", "I13_46"}, {"Impostos Sobre a Renda Variável", "I13_47"},
              {"Imp. Lei 11.033 Ret. na Fonte", "I13_48"}},
          true);
    d.total("Total dos Impostos pagos no Ano", d.sum(), true);
    return d.show(0);
}

bool expenses() {
    Detail d;
    g_open = &d;
    lines(d, {{"Valor do abatimento Padrão", "DESPADRAO"}, {"Contribuição previdenciária Oficial", "I13_09"},
              {"Contribuição previdenciária RAA", "I13_10"}, {"Contribuição previdenciária Privada", "I13_11T"},
              {"Livro Caixa", "I13_18"}, {"Abatimento com Dependentes", "I13_12"}},
          true);
    const double total = POERESTO(d.sum(), 1);
    g_open = nullptr;
    d.total("Total das despesas declaradas", total, true);
    return d.show(0);
}

}  // namespace

double POERESTO(double total, int mode) {
    if (!g_open) return total;
    const double before = g_open->sum();
    if (mode == 1)
        lines(*g_open, {{"Despesas com instrução", "I13_13T"}, {"Despesas médicas e/ou hospitalares", "I13_14"},
                        {"Pensão alimentícia judicial", "I13_15"}, {"Pensão alimentícia Cartório", "I13_16"},
                        {"Pensão alimentícia RAA", "I13_17"}, {"Doações e incentivos a cultura", "I13_22T"},
                        {"Doações e incentivos a criança", "I13_22C"}, {"Salário Anual do Empregado+INSS", "NTOTEMPREG"}},
              true);
    lines(*g_open, {{"Doações a Partidos/Candidatos Políticos", "NPARTIDO"}, {"Advogados, Engenheiros etc", "NADVOGADO"},
                    {"Aluguéis e Arrendamentos rurais", "NALUGUEL"}, {"Outros", "NOUTROS"},
                    {"Doações em espécie ou Bens", "NDOABENS"}, {"Valor usado para ajustes no caixa", "NAJUSTE"}},
          true);
    return total + g_open->sum() - before;
}

bool B_DETAL(int list) {
    switch (list) {
        case 1: return taxable();
        case 2: return exempt();
        case 3: return exclusive();
        case 4: return variable_income();
        case 5: return spouse();
        case 6: return capital_gains();
        case 7: return variation();
        case 8: return taxes();
        case 9: return expenses();
        default: return false;
    }
}

void register_detail_list_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        static const char* const names[] = {"B_DETAL_1", "B_DETAL_2", "B_DETAL_3", "B_DETAL_4", "B_DETAL_5",
                                            "B_DETAL_6", "B_DETAL_7", "B_DETAL_8", "B_DETAL_9"};
        for (int n = 1; n <= 9; ++n)
            rt::register_function(names[n - 1], [n](Args) { return rt::Value(B_DETAL(n)); });
        rt::register_function("POERESTO", [](Args a) {
            const double total = a.empty() ? 0 : common::number_of(a[0]);
            const int mode = a.size() > 1 ? static_cast<int>(common::number_of(a[1])) : 0;
            return rt::Value(POERESTO(total, mode));
        });
    });
}

}  // namespace qv::declaration
