#include "printing/gains_statement.hpp"

#include <optional>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "gains/gain_chain.hpp"
#include "gains/gain_factors.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"

namespace qv::printing {

using common::Global;
using common::DESPREZA;
using rt::operator""_cp;

namespace {

constexpr int kGains = 27;
constexpr int kParts = 28;
constexpr int kPageEnd = 60;
constexpr int kValueCol = 60;
constexpr std::string_view kCoefficient = "@Z 9.999999";
constexpr std::string_view kPercentSix = "@Z 999.999999";
constexpr std::string_view kQuantity = "@Ez 9,999,999";
constexpr std::string_view kUnitCost = "@Ez 9,999,999.9999";

enum Table { NoTable = 0, PartsTable = 1, GainsTable = 2, SharesTable = 3, InstalmentsTable = 4 };

double g(std::string_view name) { return number(name); }
rt::Date date_of(std::string_view name) {
    const rt::Value v = Global{name}.value();
    return v.is_date() ? v.as_date() : rt::Date{};
}
bool yes_field(std::string_view name) { return text(name) == "S"; }
std::string sim_nao(bool b) { return b ? "Sim" : "Nao"; }

void value_row(std::string_view label, double value) {
    put(2, label);
    line(kValueCol, shown(value));
}

// A cost part of a real-estate gain.
struct CostPart {
    rt::Date date;
    double cost = 0, reduction = 0, fr1 = 0, fr2 = 0;
    int percent = 0;
};

// A sale of shares or quotas.
struct ShareSale {
    double quantity = 0, average = 0;
};

template <class Fn>
void rows_of_gain(int number, Fn fn) {
    for_stored_rows(kParts, [&](rt::table::Table& t) {
        if (static_cast<int>(field_number(t, "BEM_NRO")) == number) fn(t);
    });
}

std::vector<CostPart> cost_parts(int number) {
    std::vector<CostPart> parts;
    rows_of_gain(number, [&](rt::table::Table& t) {
        parts.push_back({t.get("DATA_CUST").as_date(), field_number(t, "VALOR_CUST"), field_number(t, "VALOR_REDU"),
                         field_number(t, "PER_RED1"), field_number(t, "PER_RED2"),
                         static_cast<int>(field_number(t, "PER_RED"))});
    });
    return parts;
}

std::vector<ShareSale> share_sales(int number) {
    std::vector<ShareSale> sales;
    rows_of_gain(number, [&](rt::table::Table& t) {
        if (static_cast<int>(field_number(t, "TIPO_OPER")) == 3)
            sales.push_back({-field_number(t, "MOV_ACAO"), field_number(t, "CM_PONDER")});
    });
    return sales;
}

int kind() { return Global{"TIPO_BEM"}.integer(1); }

void asset_data() {
    const std::string spec = text("ESPC_BEM");
    if (kind() == 3) {
        line(0, "DADOS DA PARTICIPACAO");
        put(2, "Nome da Sociedade: " + text("NOME_SOCIE"));
        line(60, "CNPJ: " + rt::TRANSFORM(rt::Value(text("CGC_SOCIE")), "@R 99.999.999/9999-99"));
        line(2, "Cidade: " + text("CID_SOCIE") + "  UF: " + text("EST_SOCIE"));
        const int part = Global{"TIPOPART"}.integer(1);
        line(2, std::string("Tipo: ") + (part == 2 ? "Quotas" : part == 3 ? "Fundo I.Imobiliario" : "Acoes"));
        value_row("Valor da alienacao", g("VAL_ALI"));
        value_row("Custo de aquisicao", g("CUS_ATUAL"));
        return;
    }
    if (kind() == 1) {
        line(0, "DADOS DO IMOVEL");
        line(2, "Especificacao e endereco");
    } else {
        line(0, "DADOS DO MOVEL");
        line(2, "Especificacao");
    }
    line(2, rt::LEFT(spec, 76));
    if (spec.size() > 76) line(2, rt::SUBSTR(spec, 77, 76));
    if (kind() == 1) {
        line(2, rt::ALLTRIM(text("RUAIMO") + " " + text("ENDEIMO") + " " + text("NUMIMO") + " " + text("COMPIMO") + " " +
                            text("BAIRIMO") + " " + text("MUNICIMO") + " " + text("UFIMO")));
        line(2, "CEP: " + rt::TRANSFORM(rt::Value(text("CEPIMO")), "@R 99999-999"));
    }
    line(2, "Natureza da Operacao   Data de aquisicao  Data de alienacao  Valor da alienacao");
    put(2, rt::LEFT(text("NATUOPER"), 20));
    put(25, rt::DTOC(date_of("DATA_ADQ")));
    put(44, rt::DTOC(date_of("DATA_ALI")));
    line(58, shown(g("VAL_ALI")));
}

void questions() {
    line(0, "PERGUNTAS");
    const auto ask = [](std::string_view q, bool answer) {
        put(2, q);
        line(76, sim_nao(answer));
    };
    ask("A alienacao foi a prazo/prestacao", yes_field("VEN_PRAZO"));
    if (kind() != 1) return;
    ask("Houve edificacao, ampliacao, reforma ou adquirido em datas diferentes", yes_field("PARCOMPRA"));
    // The conditions of the small-value exemption, met when it was claimed.
    if (yes_field("PEQ_VALOR")) {
        if (g("VAL_ALI") <= 35000.0) {
            ask("Houve alienacao de bens da mesma natureza no mes acima de R$35.000,00", false);
        } else {
            ask("Possui outro imovel", false);
            ask("Houve outra alienacao de imovel nos ultimos cinco anos", false);
        }
    }
    ask("Foi adquirido outro imovel no prazo de 180 dias conforme lei 11.196", g("PERART31") > 0);
}

void buyer() {
    line(0, "IDENTIFICACAO DO ADQUIRENTE");
    line(2, "Cpf/Cnpj do adquirente  Nome do adquirente");
    put(2, text("CPFADQ"));
    line(26, text("NOME_ADQ"));
}

// The cost parts with their coefficients; the summed cost.
double print_cost_parts(const std::vector<CostPart>& parts) {
    double total = 0;
    for (const auto& p : parts) total += p.cost;
    TESTA_QUEBRA(PartsTable, kind(), true, 3);
    for (const auto& p : parts) {
        if (QLIN() > 57) TESTA_QUEBRA(PartsTable, kind(), true, kPageEnd);
        put(2, rt::STRZERO(p.date.year(), 4) + "/" + rt::STRZERO(p.date.month(), 2));
        put(14, shown(p.cost));
        line(36, shown(total > 0 ? p.cost / total : 0.0, kCoefficient));
    }
    put(2, "Total........");
    line(14, shown(total));
    return total;
}

void cost_block(double cost, double result1) {
    line(0, "CUSTO DE AQUISICAO");
    value_row("Valor da alienacao", g("VAL_ALI"));
    value_row("Custo de aquisicao", cost);
    value_row("Ganho de capital - Resultado 1", result1);
}

// The reductions of each part; their sum.
double print_part_gains(const std::vector<CostPart>& parts, double total, double result1) {
    double reductions = 0;
    TESTA_QUEBRA(GainsTable, kind(), true, 3 + static_cast<int>(parts.size()));
    for (const auto& p : parts) {
        const double coefficient = total > 0 ? p.cost / total : 0.0;
        put(2, shown(coefficient, kCoefficient));
        put(14, shown(DESPREZA(result1 * coefficient)));
        put(34, shown(p.percent, "@Z 999"));
        put(40, shown(p.reduction));
        put(60, shown(p.fr1 * 100, kPercentSix));
        line(74, shown(p.fr2 * 100, kPercentSix));
        reductions += p.reduction;
    }
    return reductions;
}

void factor_row(std::string_view label, double value, double percent) {
    put(2, label);
    put(40, shown(percent, kPercentSix) + "%");
    line(kValueCol, shown(value));
}

RealEstateFigures figures_of_row(double cost, double reduction) {
    RealEstateInput in;
    in.sale = g("VAL_ALI");
    in.cost = cost;
    in.reduction = reduction;
    in.fr1_value = g("FATOR1");
    in.fr2_value = g("FATOR2");
    in.reinvested_percent = g("PERART31");
    in.stored_exempt = g("VAL_NAOTRI");
    in.exchange = gains::is_exchange_with_payment(text("NATUOPER"));
    in.small_value = yes_field("PEQ_VALOR");
    return real_estate_figures(in);
}

// Results 1 to 5 of a real-estate gain.
void real_estate_gain(const RealEstateFigures& f, double reduction, bool in_parts) {
    TESTA_QUEBRA(NoTable, kind(), false, 12);
    line(0, "APURACAO DO GANHO DE CAPITAL");
    value_row("Ganho de capital - Resultado 1", f.result1);
    put(2, "Fator de Reducao lei 7.713");
    if (const rt::Date bought = date_of("DATA_ADQ"); !in_parts && !bought.empty())
        put(40, shown(gains::reduction_percent(bought.year()), "@Z 999") + "%");
    line(kValueCol, shown(reduction));
    value_row("Ganho de capital - Resultado 2", f.result2);
    factor_row("Fator de Reducao 1   (FR1)", g("FATOR1"), f.fr1_percent);
    value_row("Ganho de capital - Resultado 3", f.result3);
    factor_row("Fator de Reducao 2   (FR2)", g("FATOR2"), f.fr2_percent);
    value_row("Ganho de capital - Resultado 4", f.result4);
    put(2, "Valor Aplicado na aquisicao imovel residencial");
    line(kValueCol - 12, shown(g("PERART31"), kPercent) + "%");
    value_row("Ganho de Capital resultado 5", g("VAL_TRIBU"));
}

void shares_table() {
    const auto sales = share_sales(Global{"BEM_NRO"}.integer());
    TESTA_QUEBRA(SharesTable, kind(), true, 4 + static_cast<int>(sales.size()));
    double quantity = 0, average = 0;
    for (const auto& s : sales) {
        put(2, shown(s.quantity, kQuantity));
        put(16, shown(s.average, kUnitCost));
        line(36, shown(DESPREZA(s.quantity * s.average)));
        quantity += s.quantity;
        average = s.average;
    }
    if (sales.size() > 1) {
        line(0, Global{"LIN_DIV1"}.text());
        put(2, shown(quantity, kQuantity));
        put(16, shown(average, kUnitCost));
        line(36, shown(g("CUS_ATUAL")));
    }
    value_row("Valor da alienacao", g("VAL_ALI"));
    value_row("Ganho de capital - Resultado 1", g("VAL_TRIBU"));
}

bool shares() { return kind() == 3 && Global{"TIPOPART"}.integer(1) == 1; }

void cash_tax(double tax, double exempt) {
    TESTA_QUEBRA(NoTable, kind(), false, 8);
    line(0, "CALCULO DO IMPOSTO");
    value_row(kind() == 1 ? "Ganho de Capital resultado 5" : "Ganho de Capital resultado 1", g("VAL_TRIBU"));
    put(2, "Imposto devido ");
    if (tax == 0) put(20, "(Zero devido aos dados digitados)");
    else put(20, Global{"TIPOPART"}.integer() == 3 && kind() == 3 ? "20%" : "15%");
    line(kValueCol, shown(tax));
    if (shares()) {
        value_row("Imposto Renda retido (lei 11.033)", g("VAL_PARTE"));
        value_row("Imposto devido apos compensacao", tax - g("VAL_PARTE"));
    }
    value_row("Imposto pago", g("IMPPAGO"));
    value_row("Rendimento isento e nao-tributavel", exempt);
}

void instalments() {
    std::vector<int> months;
    for (int m = 1; m <= 12; ++m)
        if (g("REC_MES" + rt::STRZERO(m, 2)) > 0) months.push_back(m);
    TESTA_QUEBRA(InstalmentsTable, kind(), true, 4 + static_cast<int>(months.size()));
    for (const int m : months) {
        const std::string mm = rt::STRZERO(m, 2);
        put(2, mm);
        put(6, shown(g("REC_MES" + mm)));
        put(26, shown(g("PER_TRI") * 100, kPercentSix));
        put(40, shown(g("VAL_TRI" + mm)));
        put(60, shown(g("IMP_DEV" + mm)));
        line(80, shown(g("IMP_PAG" + mm)));
    }
}

void consolidation(double total_tax) {
    const bool earlier = yes_field("VENDAANT");
    const double year_tax = yes_field("VEN_PRAZO") ? g("VAL_IMPOSP") : total_tax - (shares() ? g("VAL_PARTE") : 0.0);
    TESTA_QUEBRA(NoTable, kind(), false, 6);
    line(0, "CONSOLIDACAO");
    line(40, "Alienacao           Imposto");
    const auto row = [](std::string_view label, double sale, double tax) {
        put(2, label);
        put(34, shown(sale));
        line(54, shown(tax));
    };
    row("Valores Totais", g("VAL_ALI"), total_tax);
    row("Diferido anterior", g("VAL_ANTE"), g("IMP_ANTE"));
    row("Valores  em 2011", g("VAL_RECOL"), year_tax);
    if (earlier) row("Diferido p/ 2012", g("VAL_ANTE") - g("VAL_RECOL"), g("IMP_ANTE") - year_tax);
    else row("Diferido p/ 2012", g("VAL_ALI") - g("VAL_RECOL"), total_tax - year_tax);
}

// The gain number to print, asked on the screen; nullopt for Esc.
std::optional<int> ask_gain_number() {
    const Device before = device();
    set_device(Device::Screen);
    const std::string saved = rt::SAVESCREEN();
    Global{"NRO_GANHO"}.set(rt::Value(0));
    const std::string prompt = "Nro. do ganho de capital a ser impresso (0 todos)";
    rt::at_say(22, 2, prompt);
    rt::GetList gets;
    gets.emplace_back(22, 3 + static_cast<int>(prompt.size()), "M->NRO_GANHO", "99");
    const bool read = rt::READ(gets);
    rt::RESTSCREEN(saved);
    set_device(before);
    if (!read && rt::LASTKEY() == rt::key::ESC) return std::nullopt;
    return Global{"NRO_GANHO"}.integer();
}

void print_all_gains() {
    for_stored_rows(kGains, [](rt::table::Table& t) {
        if (field_number(t, "TIPO_BEM") > 3 || field_number(t, "RVAR_NRO") != 0) return;
        IMPRGAN(1);
        new_page();
    });
}

}  // namespace

RealEstateFigures real_estate_figures(const RealEstateInput& in) {
    RealEstateFigures f;
    f.cost = in.cost;
    if (in.exchange && in.cost + in.sale > 0) {
        f.share = rt::truncate_to(in.sale / (in.cost + in.sale), 4);
        f.cost = in.cost * f.share;
    }
    f.result1 = in.sale - f.cost;
    f.result2 = in.small_value ? 0.0 : f.result1 - in.reduction;
    f.fr1_percent = f.result2 != 0 ? in.fr1_value / f.result2 * 100 : 0.0;
    f.result3 = in.small_value ? 0.0 : f.result2 - in.fr1_value;
    f.fr2_percent = f.result3 != 0 ? in.fr2_value / f.result3 * 100 : 0.0;
    f.result4 = f.result3 - in.fr2_value;
    const double after_factors = f.result1 - in.reduction - (in.fr1_value + in.fr2_value);
    f.proportional = DESPREZA(after_factors * in.reinvested_percent / 100);
    f.taxable = after_factors - f.proportional;
    f.tax = DESPREZA(f.taxable * 0.15);
    const double exempt = in.reduction + in.fr1_value + in.fr2_value + f.proportional;
    f.exempt = exempt > 0 ? exempt : 0.0;
    if (in.small_value) {
        f.tax = 0;
        f.exempt = in.stored_exempt;
    }
    return f;
}

void IMP_TITULO(int asset_kind) {
    separator();
    put(0, "Nome: " + text("NOMECONTR"));
    line(56, "GANHOS DE CAPITAL");
    put(0, "CPF: " + rt::TRANSFORM(rt::Value(text("CPF")), kCpfPicture));
    line(56, "Ano-Calendario 2011");
    separator();
    line(0, "DEMONSTRATIVO DA APURACAO DOS GANHOS DE CAPITAL N." + rt::STRZERO(Global{"BEM_NRO"}.integer(), 2));
    line(0, asset_kind == 1 ? "BENS IMOVEIS" : asset_kind == 2 ? "BENS MOVEIS" : "PARTICIPACAO SOCIETARIA");
    separator();
}

void CABEC_GAN(int table) {
    switch (table) {
        case PartsTable:
            line(0, "DESDOBRAMENTO DO CUSTO DE AQUISICAO");
            line(2, "Ano/Mes              Custo   Coeficiente");
            break;
        case GainsTable:
            line(0, "APURACAO DE GANHOS");
            line(2, "Coeficiente  Resultado 1     %Red.  Reducao lei 7.713     FR1(%)        FR2(%)");
            break;
        case SharesTable:
            line(0, "    APURACAO DO CUSTO AQUISICAO                  APURACAO DO GANHO DE");
            line(2, "Quantidade   Custo medio ponderado     Custo total de aquisicao");
            break;
        case InstalmentsTable:
            line(0, "CALCULO DO IMPOSTO A PRAZO           CODIGO RECOLHIMENTO - 4600");
            line(2, "Mes  Valor recebido      % diferido    Ganho de capital    Imposto devido      Imposto pago");
            break;
        default:
            break;
    }
}

void TESTA_QUEBRA(int table, int asset_kind, bool first, int lines) {
    if (QLIN() + lines > kPageEnd) {
        separator();
        new_page();
        IMP_TITULO(asset_kind);
        CABEC_GAN(table);
        return;
    }
    if (first) CABEC_GAN(table);
}

void IMPRGAN(int /*mode*/) {
    auto* row = tables::ws().table(kGains);
    if (!row || row->eof()) return;
    record_to_globals(*row);
    IMP_TITULO(kind());
    asset_data();
    questions();
    buyer();
    double total_tax = g("VAL_IMPOSV");
    double exempt = g("VAL_NAOTRI");
    if (kind() == 1) {
        const bool in_parts = yes_field("PARCOMPRA");
        double reduction = g("REDUCAO");
        RealEstateFigures f;
        if (in_parts) {
            const auto parts = cost_parts(Global{"BEM_NRO"}.integer());
            const double total = print_cost_parts(parts);
            f = figures_of_row(total, reduction);
            cost_block(f.cost, f.result1);
            reduction = print_part_gains(parts, total, f.result1);
            f = figures_of_row(total, reduction);
        } else {
            f = figures_of_row(g("CUS_ATUAL"), reduction);
            cost_block(f.cost, f.result1);
        }
        real_estate_gain(f, reduction, in_parts);
        total_tax = f.tax;
        exempt = f.exempt;
    } else if (kind() == 2) {
        line(0, "APURACAO DO GANHO DE CAPITAL");
        value_row("Valor da alienacao", g("VAL_ALI"));
        value_row("Custo de aquisicao", g("CUS_ATUAL"));
        value_row("Ganho de capital - Resultado 1", g("VAL_ALI") - g("CUS_ATUAL"));
    } else {
        shares_table();
    }
    if (yes_field("VEN_PRAZO")) instalments();
    else cash_tax(total_tax, exempt);
    if (yes_field("VEN_PRAZO") || yes_field("VENDAANT")) consolidation(total_tax);
}

void IMPGANHO() {
    if (Global{"QUECON"}.integer(1) != 1) {
        print_all_gains();
        return;
    }
    for (;;) {
        const auto number = ask_gain_number();
        if (!number) return;
        if (*number == 0) {
            print_all_gains();
            return;
        }
        auto* t = tables::ws().table(kGains);
        if (!t || !t->seek(rt::Value(rt::STRZERO(*number, 2) + "00"))) {
            common::MENS(11, "Ganho de capital com esse número não existente"_cp);
            continue;
        }
        IMPRGAN(1);
        new_page();
    }
}

}  // namespace qv::printing
