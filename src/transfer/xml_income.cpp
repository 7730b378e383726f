// Income from legal persons (sections 3 and 4) and income received
// cumulatively (section 7).
#include "common/avisosn.hpp"
#include "runtime/core/cp850.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;
using rt::operator""_cp;

bool is_blank(std::string_view s) { return rt::ALLTRIM(s).empty(); }

// The question on a source with half its identity. A run over many
// declarations asks nothing: the source goes as it is, and the run's list
// of notices names it for the clerk to complete.
bool transfer_anyway(std::string_view question, rt::table::Table& t) {
    if (!common::notices_kept()) return common::AVISOSN(question, 2).as_string() == "S";
    const std::string name = rt::ALLTRIM(field_text(t, "I1_2"));
    const std::string source = name.empty() ? rt::ALLTRIM(field_text(t, "I1_3")) : name;
    common::keep_notice(std::string(question.substr(0, question.find('.'))) + " (" + source + "), transferida assim mesmo"_cp);
    return true;
}

// Step 1 and 2 of the taxpayer's filter: a source with half its identity.
bool confirm_half_source(rt::table::Table& t) {
    const bool no_name = is_blank(field_text(t, "I1_2"));
    const bool no_number = is_blank(field_text(t, "I1_3"));
    if (no_name && !no_number)
        return transfer_anyway("Há uma PJ do titular sem o Nome preenchido.Transfere mesmo assim?"_cp, t);
    if (no_number && !no_name)
        return transfer_anyway("Há uma PJ do titular sem o CNPJ preenchido.Transfere mesmo assim?"_cp, t);
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
        if (source_kind(t) != (holder ? "J" : "D")) return;
        // A row without any of the four amounts is never written, so
        // nothing is asked about it (the exempt and exclusive rows an
        // import adds have none).
        if (empty_source(t)) return;
        if (holder && !confirm_half_source(t)) return;
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
        if (source_kind(t) != side) return;
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
            if (source_kind(t) != side || (field_amount(t, "I1_19") <= 0 && field_amount(t, "I1_20") <= 0)) return;
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

// Cumulative income: the rows of one side and their sums.
struct CumulativeSums {
    double social = 0, social_adj = 0, social_exc = 0, due_exc = 0, withheld = 0, withheld_adj = 0,
           withheld_exc = 0, alimony = 0, alimony_adj = 0, alimony_exc = 0, income = 0, income_adj = 0,
           income_exc = 0;
};

bool cumulative_row(rt::table::Table& t, bool holder) {
    if (source_kind(t) != "A") return false;
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
void write_rend_acm(Generation& g) {
    g.out.open("rendAcm");
    g.out.amount("totalRendRecebAcumuladamente", 0, Close::Start);
    cumulative_collection(g.out, true);
    cumulative_collection(g.out, false);
    g.out.end("rendAcm");
}
}  // namespace qv::transfer
