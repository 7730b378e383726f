// Sections 3 to 10: income from legal persons, suspended income, monthly
// income of the taxpayer and of dependants, cumulative income, exempt and
// exclusive income with their auxiliary tables, taxes paid.
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;
using rt::operator""_cp;

std::string kind_of(rt::table::Table& t) { return rt::UPPER(rt::LEFT(field_text(t, "I1_1"), 1)); }

bool is_blank(std::string_view s) { return rt::ALLTRIM(s).empty(); }

// Step 1 and 2 of the taxpayer's filter: a source with half its identity.
bool confirm_half_source(rt::table::Table& t) {
    const bool no_name = is_blank(field_text(t, "I1_2"));
    const bool no_number = is_blank(field_text(t, "I1_3"));
    if (no_name && !no_number)
        return common::AVISOSN("Há uma PJ do titular sem o Nome preenchido.Transfere mesmo assim?"_cp, 2).as_string() == "S";
    if (no_number && !no_name)
        return common::AVISOSN("Há uma PJ do titular sem o CNPJ preenchido.Transfere mesmo assim?"_cp, 2).as_string() == "S";
    return true;
}

bool empty_source(rt::table::Table& t) {
    if (is_blank(field_text(t, "I1_2")) && is_blank(field_text(t, "I1_3"))) return true;
    return field_amount(t, "I1_4") == 0 && field_amount(t, "I1_5") == 0 && field_amount(t, "I1_6") == 0 &&
           field_amount(t, "I1_7") == 0;
}

void source_collection(Generation& g, bool holder) {
    XmlWriter& w = g.out;
    const SourceTotals& side = holder ? g.holder : g.dependants;
    const std::string element = holder ? "colecaoRendPJTitular" : "colecaoRendPJDependente";
    w.open(element);
    w.text("niMaiorFontePagadora", side.largest_source);
    w.text("tipoItens", holder ? "serpro.ppgd.irpf.rendpj.RendPJTitular" : "serpro.ppgd.irpf.rendpj.RendPJDependente");
    w.amount("totaisContribuicaoPrevOficial", side.social_security);
    w.amount("totaisDecimoTerceiro", amount(holder ? "I4_01" : "I4_07"));
    w.amount("totaisImpostoRetidoFonte", side.withheld);
    w.amount("totaisRendRecebidoPJ", side.income, Close::Start);
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        if (kind_of(t) != (holder ? "J" : "D")) return;
        if (holder && !confirm_half_source(t)) return;
        if (empty_source(t)) return;
        w.open("item");
        w.text("NIFontePagadora", field_text(t, "I1_3"));
        w.amount("contribuicaoPrevOficial", field_amount(t, "I1_6"));
        if (!holder) w.cpf("cpfDependente", field_text(t, "I1_8"));
        w.amount("decimoTerceiro", field_amount(t, "I1_7"));
        w.amount("impostoRetidoFonte", field_amount(t, "I1_5"));
        w.translit("nomeFontePagadora", field_text(t, "I1_2"));
        w.amount("rendRecebidoPJ", field_amount(t, "I1_4"), Close::Empty);
    });
    w.end(element);
}

void suspended_collection(Generation& g, bool holder) {
    XmlWriter& w = g.out;
    const std::string side = holder ? "J" : "D";
    double suspended = 0, deposits = 0;
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        if (kind_of(t) != side) return;
        suspended += field_amount(t, "I1_19");
        deposits += field_amount(t, "I1_20");
    });
    if (!holder) g.dependants_judicial_deposits = deposits;
    const std::string element = holder ? "colecaoRendPJComExigibilidadeTitular" : "colecaoRendPJComExigibilidadeDependente";
    w.open(element);
    w.text("tipoItens", "serpro.ppgd.irpf.rendpjexigibilidade.RendPJComExigibilidade" +
                            std::string(holder ? "Titular" : "Dependente"));
    w.amount("totaisDepositoJudicial", deposits);
    w.amount("totaisRendPJExigSuspensa", suspended, Close::Start);
    if (suspended > 0 || deposits > 0) {
        each_row(kSourcesArea, [&](rt::table::Table& t) {
            if (kind_of(t) != side || (field_amount(t, "I1_19") <= 0 && field_amount(t, "I1_20") <= 0)) return;
            w.open("item");
            w.text("NIFontePagadora", field_text(t, "I1_3"));
            if (!holder) w.cpf("cpfDependente", field_text(t, "I1_8"));
            w.amount("depositoJudicial", field_amount(t, "I1_20"));
            w.translit("nomeFontePagadora", field_text(t, "I1_2"));
            w.amount("rendExigSuspensa", field_amount(t, "I1_19"), Close::Empty);
        });
    }
    w.end(element);
}

// One month of natural-person income and its deductions.
struct Month {
    double natural = 0, abroad = 0, cash_book = 0, dependants = 0, social_security = 0, alimony = 0, darf = 0,
           carne = 0;
};
using Year = std::array<Month, 12>;

void add(Month& to, const Month& m) {
    to.natural += m.natural;
    to.abroad += m.abroad;
    to.cash_book += m.cash_book;
    to.dependants += m.dependants;
    to.social_security += m.social_security;
    to.alimony += m.alimony;
    to.darf += m.darf;
    to.carne += m.carne;
}

Month total_of(const Year& year) {
    Month s;
    for (const Month& m : year) add(s, m);
    return s;
}

void write_totals(XmlWriter& w, const Month& s) {
    w.amount("totalDarfPago", s.darf);
    w.amount("totalDependentes", s.dependants);
    w.amount("totalExterior", s.abroad);
    w.amount("totalLivroCaixa", s.cash_book);
    w.amount("totalPensao", s.alimony);
    w.amount("totalPessoaFisica", s.natural);
    w.amount("totalPrevidencia", s.social_security, Close::Start);
}

void write_months(XmlWriter& w, const Year& year) {
    for (int m = 1; m <= 12; ++m) {
        const Month& v = year[m - 1];
        w.open(month_element(m, false));
        w.amount("carneLeao", v.carne);
        w.amount("darfPago", v.darf);
        w.amount("dependentes", v.dependants);
        w.amount("exterior", v.abroad);
        w.amount("livroCaixa", v.cash_book);
        w.number("mes", m - 1, NumberCode::Whole);
        w.amount("pensao", v.alimony);
        w.amount("pessoaFisica", v.natural);
        w.amount("previdencia", v.social_security, Close::Empty);
    }
}

double darf_of(rt::table::Table& t, const std::string& mm) {
    const double paid = field_amount(t, "I2_5" + mm);
    return declaration::logical("SO_REC") ? paid : std::max(paid, field_amount(t, "I2_6" + mm));
}

// The natural-person columns of one row of the monthly sheet.
Year person_year(rt::table::Table& t, bool holder) {
    Year year{};
    for (int m = 1; m <= 12; ++m) {
        const std::string mm = rt::STRZERO(m, 2);
        Month& v = year[m - 1];
        v.natural = field_amount(t, "I2_1" + mm);
        v.abroad = field_amount(t, "I2_2" + mm);
        v.cash_book = field_amount(t, "I2_3" + mm);
        if (!holder) v.social_security = field_amount(t, "I2_4" + mm);
        v.darf = darf_of(t, mm);
        v.carne = field_amount(t, "I2_6" + mm);
    }
    return year;
}

bool holder_row(rt::table::Table& t) { return is_blank(field_text(t, "CPFDEPEN")); }

Year holder_year(const Generation& g) {
    Year year{};
    bool found = false;
    each_row(kMonthlyArea, [&](rt::table::Table& t) {
        if (found || !holder_row(t)) return;
        year = person_year(t, true);
        found = true;
    });
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        if (kind_of(t) != "P" || rt::UPPER(field_text(t, "I1_11")) == "N") return;
        for (int m = 1; m <= 12; ++m) year[m - 1].social_security += field_amount(t, "I1_4" + rt::STRZERO(m, 2));
    });
    each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_amount(t, "I6_3"));
        if (code < 30 || code > 34) return;
        for (int m = 1; m <= 12; ++m) year[m - 1].alimony += field_amount(t, "I6_4" + rt::STRZERO(m, 2));
    });
    for (int m = 1; m <= 12; ++m) {
        Month& v = year[m - 1];
        if (v.natural > 0 || v.abroad > 0)
            v.dependants = g.dependants_proper * declaration::element("NVALDEPEN", m <= 3 ? 1 : 2);
    }
    return year;
}

void simple_item(XmlWriter& w, std::string_view description, double value) {
    w.open("item");
    w.translit("especificacao", rt::ALLTRIM(description));
    w.amount("valor", value, Close::Empty);
}

// An auxiliary table: its header, its items only when the total is above 0.
void aux_table(XmlWriter& w, std::string_view element, std::string_view kind, double total,
               const std::function<void()>& items) {
    w.open(element);
    w.text("tipoItens", kind);
    w.amount("totais", total, Close::Start);
    if (total > 0) items();
    w.end(element);
}

constexpr std::string_view kDetailed = "serpro.ppgd.irpf.ItemQuadroTransporteDetalhado";
constexpr std::string_view kSimple = "serpro.ppgd.irpf.ItemQuadroAuxiliar";

void detailed_items(Generation& g, std::string_view column, std::string_view source_name) {
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        const std::string kind = kind_of(t);
        const double value = field_amount(t, column);
        if ((kind != "J" && kind != "D") || value <= 0) return;
        XmlWriter& w = g.out;
        w.open("item");
        w.text(source_name, field_text(t, "I1_3"));
        w.text("cpfBeneficiario", kind == "J" ? g.ccpf : cpf_text(field_text(t, "I1_8")));
        w.translit("nomeFonte", field_text(t, "I1_2"));
        w.text("tipo", kind == "J" ? "Titular" : "Dependente");
        w.amount("valor", value, Close::Empty);
    });
}

double other_income_total(std::string_view column) {
    double total = 0;
    each_row(kOtherIncomeArea, [&](rt::table::Table& t) { total += field_amount(t, column); });
    return total;
}

void other_income_table(XmlWriter& w, std::string_view element, std::string_view column) {
    aux_table(w, element, kSimple, other_income_total(column), [&] {
        each_row(kOtherIncomeArea, [&](rt::table::Table& t) {
            if (field_amount(t, column) > 0) simple_item(w, field_text(t, "DESCRICAO"), field_amount(t, column));
        });
    });
}

// Cumulative income: the rows of one side and their sums.
struct CumulativeSums {
    double social = 0, social_adj = 0, social_exc = 0, due_exc = 0, withheld = 0, withheld_adj = 0,
           withheld_exc = 0, alimony = 0, alimony_adj = 0, alimony_exc = 0, income = 0, income_adj = 0,
           income_exc = 0;
};

bool cumulative_row(rt::table::Table& t, bool holder) {
    if (kind_of(t) != "A") return false;
    return (rt::UPPER(field_text(t, "I1_11")) == "N") != holder;
}

bool adjustment_row(rt::table::Table& t) { return rt::UPPER(field_text(t, "TIPOCR")) == "S"; }

CumulativeSums cumulative_sums(bool holder) {
    CumulativeSums s;
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        if (!cumulative_row(t, holder)) return;
        const double social = field_amount(t, "I1_6"), withheld = field_amount(t, "I1_5");
        const double alimony = field_amount(t, "I1_12"), income = field_amount(t, "I1_4");
        s.social += social;
        s.withheld += withheld;
        s.alimony += alimony;
        s.income += income;
        if (adjustment_row(t)) {
            s.social_adj += social;
            s.withheld_adj += withheld;
            s.alimony_adj += alimony;
            s.income_adj += income;
        } else {
            s.social_exc += social;
            s.due_exc += field_amount(t, "I1_20");
            s.withheld_exc += withheld;
            s.alimony_exc += alimony;
            s.income_exc += income;
        }
    });
    return s;
}

std::string alimony_recipient(std::string_view cpf) {
    std::string name;
    bool found = false;
    each_row(kPeopleArea, [&](rt::table::Table& t) {
        if (found || rt::ALLTRIM(field_text(t, "CPFDEPEN")) != rt::ALLTRIM(cpf)) return;
        name = field_text(t, "NOMEDEPEN");
        found = true;
    });
    return name;
}

void cumulative_item(XmlWriter& w, rt::table::Table& t, bool holder) {
    const double alimony = field_amount(t, "I1_12");
    w.open("item");
    w.amount("contribuicaoPrevOficial", field_amount(t, "I1_6"));
    if (!holder) w.cpf("cpfDependente", field_text(t, "I1_8"));
    w.text("dataRecebimento", date_text(field_date(t, "DT_LC")));
    w.amount("impostoDevidoRRA", field_amount(t, "I1_20"));
    w.amount("impostoRetidoFonte", field_amount(t, "I1_5"));
    w.text("niFontePagadora", field_text(t, "I1_3"));
    w.translit("nomeFontePagadora", field_text(t, "I1_2"));
    w.number("numMeses", field_amount(t, "I1_21"), NumberCode::OneDecimal);
    w.text("opcaoTributacao", adjustment_row(t) ? "A" : "E");
    w.amount("pensaoAlimenticia", alimony);
    w.amount("rendRecebidos", field_amount(t, "I1_4"), Close::Start);
    w.open("pensaoAlimenticiaQuadroAuxiliar");
    w.text("tipoItens", "serpro.ppgd.irpf.rendpf.ItemQuadroPensaoAlimenticia");
    w.amount("totais", alimony, Close::Start);
    if (alimony > 0) {
        const std::string recipient = alimony_recipient(field_text(t, "I1_22"));
        w.open("item");
        w.translit("alimentando", recipient);
        w.amount("valor", alimony, Close::Empty);
    }
    w.end("pensaoAlimenticiaQuadroAuxiliar");
    w.end("item");
}

void cumulative_collection(XmlWriter& w, bool holder) {
    const CumulativeSums s = cumulative_sums(holder);
    const std::string element = holder ? "colecaoRendAcmTitular" : "colecaoRendAcmDependente";
    w.open(element);
    w.text("tipoItens", holder ? "serpro.ppgd.irpf.rendacm.RendAcmTitular" : "serpro.ppgd.irpf.rendacm.RendAcmDependente");
    w.amount("totaisContribuicaoPrevOficial", s.social);
    w.amount("totaisContribuicaoPrevOficialAjuste", s.social_adj);
    w.amount("totaisContribuicaoPrevOficialExclusiva", s.social_exc);
    w.amount("totaisImpostoDevidoRRA", s.due_exc);
    w.amount("totaisImpostoRetidoFonte", s.withheld);
    w.amount("totaisImpostoRetidoFonteAjuste", s.withheld_adj);
    w.amount("totaisImpostoRetidoFonteExclusiva", s.withheld_exc);
    w.amount("totaisPensaoAlimenticia", s.alimony);
    w.amount("totaisPensaoAlimenticiaAjuste", s.alimony_adj);
    w.amount("totaisPensaoAlimenticiaExclusiva", s.alimony_exc);
    w.amount("totaisRendRecebidos", s.income);
    w.amount("totaisRendRecebidosAjuste", s.income_adj);
    w.amount("totaisRendRecebidosExclusiva", s.income_exc, Close::Start);
    if (s.income > 0) {
        each_row(kSourcesArea, [&](rt::table::Table& t) {
            if (cumulative_row(t, holder)) cumulative_item(w, t, holder);
        });
    }
    w.end(element);
}

}  // namespace

void write_rend_pj(Generation& g) {
    g.out.open("rendPJ");
    g.out.amount("totalRendRecebPessoaJuridica", g.holder.income + g.dependants.income, Close::Start);
    source_collection(g, true);
    source_collection(g, false);
    g.out.end("rendPJ");
}

void write_rend_pj_exigibilidade(Generation& g) {
    g.out.open_bare("rendPJComExigibilidade");
    suspended_collection(g, true);
    suspended_collection(g, false);
    g.out.end("rendPJComExigibilidade");
}

void write_rend_pf_titular(Generation& g) {
    const Year year = holder_year(g);
    g.out.open("rendPFTitular");
    write_totals(g.out, total_of(year));
    write_months(g.out, year);
    g.out.end("rendPFTitular");
}

void write_rend_pf_dependente(Generation& g) {
    XmlWriter& w = g.out;
    std::vector<std::pair<std::string, Year>> people;
    each_row(kMonthlyArea, [&](rt::table::Table& t) {
        if (!holder_row(t)) people.emplace_back(field_text(t, "CPFDEPEN"), person_year(t, false));
    });
    Month all;
    for (const auto& person : people) add(all, total_of(person.second));
    w.open("rendPFDependente");
    w.text("tipoItens", "serpro.ppgd.irpf.rendpf.ItemRendPFDependente");
    write_totals(w, all);
    for (const auto& [cpf, year] : people) {
        w.open("item");
        w.cpf("cpf", cpf);
        w.amount("fooValoresPreenchidos", 0, Close::Start);
        w.open("rendimentos");
        write_totals(w, total_of(year));
        write_months(w, year);
        w.end("rendimentos");
        w.end("item");
    }
    w.end("rendPFDependente");
}

void write_rend_acm(Generation& g) {
    g.out.open("rendAcm");
    g.out.amount("totalRendRecebAcumuladamente", 0, Close::Start);
    cumulative_collection(g.out, true);
    cumulative_collection(g.out, false);
    g.out.end("rendAcm");
}

void write_rend_isentos(Generation& g) {
    XmlWriter& w = g.out;
    w.open("rendIsentos");
    w.amount("bensPequenoValorInformado", amount("I3_04GCPV"));
    w.amount("bensPequenoValorTransportado", amount("I3_04GCPVC"));
    w.amount("bolsaEstudos", amount("I3_01"));
    w.amount("capitalApolices", amount("I3_02"));
    w.translit("descOutros", global_text("I3_12D"));
    w.amount("impostoRendasAnterioresCompensadoJudicialmente", amount("I3_13"));
    w.amount("incorporacaoReservaCapital", amount("I3_15"));
    w.amount("indenizacoes", amount("I3_03"));
    w.amount("lucroAlienacao", amount("I3_04"));
    w.amount("lucroRecebido", amount("I3_05"));
    w.amount("moedaEstrangeiraEspecieInformado", amount("I3_04EXTR"));
    w.amount("outros", amount("I3_12"));
    w.amount("outrosBensImoveisGCAPTransportado", amount("I3_04REDUC"));
    w.amount("outrosBensImoveisInformado", amount("I3_04REDU"));
    w.amount("outrosBensImoveisMETransportado", 0);
    w.amount("outrosBensImoveisTransportado", amount("I3_04REDUC"));
    w.amount("parcIsentaAposentadoria", amount("I3_06"));
    w.amount("parcIsentaAtivRural", amount("I3_11"));
    w.amount("pensao", amount("I3_07"));
    w.amount("poupanca", amount("I3_08"));
    w.amount("rendAssalariadosMoedaEstrangeira", amount("I3_14"));
    w.amount("rendDependentes", amount("I3_16"));
    w.amount("rendSocio", amount("I3_09"));
    w.amount("total", amount("I13_44"));
    w.amount("totalInformado", amount("I3_04GCPV") + amount("I3_04UNIC") + amount("I3_04REDU") + amount("I3_04EXTR"));
    w.amount("totalTransportado", amount("I3_04"));
    w.amount("transferencias", amount("I3_10"));
    w.amount("unicoImovelInformado", amount("I3_04UNIC"));
    w.amount("unicoImovelTransportado", amount("I3_04UNICC"), Close::Start);
    aux_table(w, "lucroRecebidoQuadroAuxiliar", kDetailed, amount("I3_05"),
              [&] { detailed_items(g, "I1_15", "cnpjEmpresa"); });
    aux_table(w, "pensaoQuadroAuxiliar", kDetailed, amount("I3_07"), [&] { detailed_items(g, "I1_18", "niEmpresa"); });
    other_income_table(w, "poupancaQuadroAuxiliar", "POUPANCA");
    aux_table(w, "rendAssalariadoMoedaEstrangeiraQuadroAuxiliar", kDetailed, amount("I3_14"),
              [&] { detailed_items(g, "I1_13", "cnpjEmpresa"); });
    aux_table(w, "incorporacaoReservaCapitalQuadroAuxiliar", kDetailed, amount("I3_15"),
              [&] { detailed_items(g, "I1_14", "cnpjEmpresa"); });
    other_income_table(w, "outrosQuadroAuxiliar", "OUTNT");
    aux_table(w, "rendDependentesQuadroAuxiliar", kSimple, amount("I3_16"), [&] {
        each_row(kSourcesArea, [&](rt::table::Table& t) {
            if (kind_of(t) == "D" && field_amount(t, "I1_9") > 0) simple_item(w, field_text(t, "I1_2"), field_amount(t, "I1_9"));
        });
    });
    w.end("rendIsentos");
}

void write_rend_exclusiva(Generation& g) {
    XmlWriter& w = g.out;
    w.open("rendTributacaoExclusiva");
    w.amount("decimoTerceiro", amount("I4_01"));
    w.amount("decimoTerceiroDependentes", amount("I4_07"));
    w.translit("descTotal", global_text("I4_05D"));
    w.translit("descTotalDependentes", global_text("I4_09D"));
    w.amount("ganhosCapital", amount("I4_02"));
    w.amount("ganhosCapitalEmEspecie", 0);
    w.amount("ganhosCapitalEstrangeira", 0);
    w.amount("ganhosRendaVariavel", amount("I4_03"));
    w.amount("outros", amount("I4_05"));
    w.amount("outrosDependentes", amount("I4_09"));
    w.amount("rendAplicacoes", amount("I4_04"));
    w.amount("rraDependentes", amount("I4_08"));
    w.amount("rraTitular", amount("I4_06"));
    w.amount("total", amount("I13_45"), Close::Start);
    other_income_table(w, "rendAplicacoesQuadroAuxiliar", "APLICACAO");
    other_income_table(w, "outrosQuadroAuxiliar", "OUTTR");
    other_income_table(w, "outrosDependentesQuadroAuxiliar", "OUTDP");
    w.end("rendTributacaoExclusiva");
}

void write_imposto_pago(Generation& g) {
    XmlWriter& w = g.out;
    w.open("impostoPago");
    w.amount("carneLeaoDependentes", amount("I13_30"));
    w.amount("carneLeaoTitular", amount("I13_29"));
    w.amount("impostoComplementar", amount("I13_31"));
    w.amount("impostoDevidoComRendExterior", amount("I13_26"));
    w.amount("impostoDevidoSemRendExterior", 0);
    w.amount("impostoPagoExterior", amount("I13_32"));
    w.amount("impostoRetidoFonte", amount("I13_33"));
    w.amount("impostoRetidoFonteDependentes", amount("I13_28"));
    w.amount("impostoRetidoFonteTitular", amount("I13_27"));
    w.amount("limiteImpPagoExterior", amount("I13_32"), Close::Empty);
}

}  // namespace qv::transfer
