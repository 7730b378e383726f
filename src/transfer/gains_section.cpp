// Section ganhosDeCapital: the gains on real estate, movables and
// participations of the open declaration, and the declarant.
#include <string>
#include <string_view>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/state.hpp"
#include "transfer/code_lookup.hpp"
#include "transfer/gain_figures.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/xml_sections.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;
using Table = rt::table::Table;
using rt::operator""_cp;

constexpr int kGainsArea = 27;
constexpr int kParcelsArea = 28;

struct Collection {
    int kind;
    const char* element;
    const char* items;
};
constexpr Collection kCollections[] = {
    {1, "bensImoveis", "serpro.ppgd.irpf.ganhosdecapital.bensimoveis.ItemDadosBemImovel"},
    {2, "bensMoveis", "serpro.ppgd.irpf.ganhosdecapital.bensmoveis.ItemDadosBemMovel"},
    {3, "participacoesSocietarias", "serpro.ppgd.irpf.ganhosdecapital.psocietarias.ItemDadosPSocietarias"}};
constexpr const char* kDeclarants = "serpro.ppgd.irpf.ganhosdecapital.IdentificacaoDeclaranteGCAP";

std::string field(Table& t, const char* name) { return rt::ALLTRIM(t.get(name).as_string()); }
bool yes(Table& t, const char* name) { return rt::UPPER(field(t, name)) == "S"; }
rt::Date date_of(Table& t, const char* name) {
    const rt::Value v = t.get(name);
    return v.is_date() ? v.as_date() : rt::Date{};
}

// The permanence of the declarant in the country during the year.
struct Permanence {
    std::string from = "01/01/2011";
    std::string to = "31/12/2011";
};

Permanence permanence() {
    Permanence p;
    if (dc::is("DECSAIDA", 'S')) {
        p.from = date_text(dc::date("DATADECIS"));
        p.to = date_text(dc::date("DATASAIDA"));
    }
    return p;
}

constexpr std::string_view kParcelKey = "STRZERO(BEM_NRO,2)+STRZERO(RVAR_NRO,2)";

// Puts table 28 in the order of gain and parcel number: the order of the
// terminal's work copy TMP_08<NUSU>, kept in its index file in the work
// folder. A grid may have left another order active, or the index may have
// gone; it is then made again. False when no such order could be had.
bool order_parcels(Table& t) {
    if (same_order_key(t.order_key(), kParcelKey)) return true;
    for (int n = 1; n <= t.order_count(); ++n)
        if (same_order_key(t.order_key(n), kParcelKey)) {
            t.set_order(n);
            return true;
        }
    const std::string tag = "TMP_08" + rt::ALLTRIM(global_text("NUSU"));
    try {
        t.index_on(std::string(kParcelKey), tag);
        return t.set_order(tag);
    } catch (const rt::table::TableError&) {
        return false;
    }
}

// The parcel (or share movement) rows of a gain, in parcel order: found by
// a seek on the gain number and parcel 0.
void for_parcels(int number, const std::function<void(Table&)>& visit) {
    Table* t = tables::ws().table(kParcelsArea);
    if (t == nullptr) return;
    order_parcels(*t);
    each_row_of(
        kParcelsArea, kParcelKey, rt::STRZERO(number, 2) + "00",
        [number](Table& p) { return static_cast<int>(field_amount(p, "BEM_NRO")) == number; }, visit);
}

GainFigures figures_of(const GainRow& row) {
    double reduction = 0, fr1 = 0, fr2 = 0;
    if (row.kind == 1)
        for_parcels(row.number, [&](Table& p) {
            fr1 += field_amount(p, "RESUL_2");
            fr2 += field_amount(p, "RESUL_3");
            reduction += field_amount(p, "VALOR_REDU");
        });
    return gain_figures(row, reduction, fr1, fr2);
}

void write_permanence(XmlWriter& w, const Permanence& p) {
    w.text("dataFimPermanencia", p.to);
    w.text("dataInicioPermanencia", p.from);
}

std::string above_limit(Table& t) { return yes(t, "PEQ_VALOR") ? "N" : "S"; }

std::string last_receipt_flag(const GainRow& r) {
    if (!r.instalments) return "S";
    return r.to_receive > 0 ? "N" : "S";
}

void write_purchase_parcels(XmlWriter& w, Table& t, const GainRow& r) {
    w.open("colCustoAquisicao");
    w.text("tipoItens", "serpro.ppgd.irpf.ganhosdecapital.ItemDadosReforma", Close::Start);
    if (!r.sold_before && yes(t, "PARCOMPRA")) {
        int n = 0;
        for_parcels(r.number, [&](Table& p) {
            const rt::Date d = date_of(p, "DATA_CUST");
            w.open("item");
            w.text("ano", d.empty() ? "" : rt::STRZERO(d.year(), 4));
            w.number("coeficienteCusto", field_amount(p, "PER_CUST"), NumberCode::SixDecimals);
            w.text("mes", d.empty() ? "" : rt::STRZERO(d.month(), 2));
            w.number("numeroItem", ++n, NumberCode::Whole);
            w.number("percentualReducao7713", field_amount(p, "PER_RED"), NumberCode::Digits);
            w.number("percentualReducaoFR1", field_amount(p, "PER_RED1") * 100, NumberCode::SixDecimals);
            w.number("percentualReducaoFR2", field_amount(p, "PER_RED2") * 100, NumberCode::SixDecimals);
            w.amount("valorGanhoBrutoParcela", field_amount(p, "CUST_UNI"));
            w.amount("valorParcela", field_amount(p, "VALOR_CUST"));
            w.amount("valorReducao7713", field_amount(p, "VALOR_REDU"));
            w.amount("valorReducaoFR1", field_amount(p, "RESUL_2"));
            w.amount("valorReducaoFR2", field_amount(p, "RESUL_3"), Close::Empty);
        });
    }
    w.end("colCustoAquisicao");
}

void write_assessment(XmlWriter& w, Table& t, const GainRow& r, const GainFigures& f, const char* nature, int item) {
    w.open("dadosApuracao");
    w.amount("alienacao", r.sold_before ? r.earlier_sale : r.sale);
    w.text("codNatureza", nature);
    w.text("cpf", field(t, "CPF"));
    w.amount("custoPermuta", f.exchange_cost);
    w.text("dataAlienacao", date_text(date_of(t, "DATA_ALI")));
    w.text("dataAquisicao", date_text(date_of(t, "DATA_ADQ")));
    w.amount("impostoPago", field_amount(t, "IMPPAGO"));
    w.number("numeroItem", item, NumberCode::Whole);
    w.amount("valorAplicado", 0, Close::Empty);
}

void write_acquirer(XmlWriter& w, Table& t) {
    w.open("adquirentes");
    w.text("tipoItens", "serpro.ppgd.irpf.ganhosdecapital.ItemAdquirente", Close::Start);
    w.open("item");
    w.text("ni", field(t, "CPFADQ"));
    w.translit("nome", field(t, "NOME_ADQ"), Close::Empty);
    w.end("adquirentes");
}

void write_receipts(XmlWriter& w, Table& t, const GainRow& r, const GainFigures& f, int nature) {
    const bool participation = nature == 3;
    const double deferred = field_amount(t, "PER_TRI");
    w.open("colCPGC");
    w.text("tipoItens", "serpro.ppgd.irpf.ganhosdecapital.ItemDadosCPGC");
    w.number("percentualDiferimento", deferred, NumberCode::SixDecimals);
    w.amount("totalGanhoCapital", f.taxable);
    w.amount("totalImpostoAposComp", participation ? f.due - f.withheld : 0);
    w.amount("totalImpostoDevido", f.due);
    w.amount("totalImpostoPago", f.paid);
    w.amount("totalImpostoRendaFonte", participation ? f.withheld : 0);
    w.amount("totalValorRecebido", f.received, Close::Start);
    if (r.instalments)
        for (int m = 1; m <= 12; ++m) {
            const double received = r.month_received[m - 1];
            const double withheld = participation ? r.month_withheld[m - 1] : 0;
            w.open("item");
            w.text("codNatureza", std::to_string(nature));
            w.amount("ganhoCapital", common::DESPREZA(received * deferred / 100));
            w.amount("impostoAposComp", participation ? r.month_due[m - 1] - withheld : 0);
            w.amount("impostoDevido", r.month_due[m - 1]);
            w.amount("impostoPago", r.month_paid[m - 1]);
            w.amount("impostoRendaFonte", withheld);
            w.number("mesRecebimento", m, NumberCode::Whole);
            w.number("numeroItem", m, NumberCode::Whole);
            w.amount("valorRecebido", received, Close::Empty);
        }
    w.end("colCPGC");
}

void write_consolidation(XmlWriter& w, Table& t, const GainRow& r, const GainFigures& f) {
    const double difference = common::DESPREZA(r.to_receive * field_amount(t, "PER_TRI") / 100 * 0.15);
    w.open("consolidacao");
    if (r.sold_before) {
        w.amount("impPagarDevidoRefExercicio", r.instalment_tax);
        w.amount("impPagarDifAnosAnteriores", difference);
        w.amount("impPagarDifAnosPosteriores", difference - r.instalment_tax);
        w.amount("impPagarRefExercicio", 0);
        w.amount("impPagarTotal", difference);
    } else {
        w.amount("impPagarDevidoRefExercicio", f.due_of_year);
        w.amount("impPagarDifAnosAnteriores", 0);
        w.amount("impPagarDifAnosPosteriores", r.cash_tax - f.due_of_year);
        w.amount("impPagarRefExercicio", r.cash_tax);
        w.amount("impPagarTotal", r.cash_tax);
    }
    w.amount("impPagoTotal", f.paid);
    w.amount("rendIsentosTotal", field_amount(t, "VAL_NAOTRI"));
    w.amount("rendTribExclusivaTotal", r.sold_before ? 0 : field_amount(t, "GAN_TRIV") - f.paid, Close::Empty);
}

void write_common_head(XmlWriter& w, Table& t, const char* rate) {
    w.text("aliquota", rate);
    w.text("cpf", field(t, "CPF"));
}

std::string mp252(double percent) { return percent == 0 ? "N" : percent == 100 ? "I" : "P"; }

void write_real_estate(XmlWriter& w, Table& t, int item, const Permanence& p) {
    const GainRow r = gain_row(t);
    const GainFigures f = figures_of(r);
    if (r.instalments) dc::set_amount("VALFUTUR", r.cash_tax - f.due_of_year);
    const bool paid_off = !r.instalments || r.cash_tax - f.due_of_year <= 0;
    w.open("item");
    write_common_head(w, t, "15,00");
    w.amount("custoAquisicao", r.sold_before ? 0 : r.cost);
    write_permanence(w, p);
    w.text("dataRecebimentoUltimaParcela", paid_off ? last_receipt_date(f.last_month, date_of(t, "DATA_ALI")) : "/ /");
    w.translit("descricao", field(t, "ESPC_BEM"));
    w.translit("enderecoBairro", field(t, "BAIRIMO"));
    w.text("enderecoCEP", field(t, "CEPIMO"));
    w.translit("enderecoComplemento", field(t, "COMPIMO"));
    w.translit("enderecoLogradouro", field(t, "ENDEIMO"));
    w.translit("enderecoMunicipio", municipality_code(field(t, "MUNICIMO"), field(t, "UFIMO")));
    w.translit("enderecoNomeMunicipio", field(t, "MUNICIMO"));
    w.text("enderecoNomeUF", field(t, "UFIMO"));
    w.translit("enderecoNumero", field(t, "NUMIMO"));
    w.text("enderecoUF", field(t, "UFIMO"));
    w.amount("impostoDevido", f.due);
    w.amount("impostoPago", f.paid);
    w.text("indAlienacaoPrazo", field(t, "VEN_PRAZO"));
    w.text("indConjuntoBensSuperiorAoLimiteIsencao", above_limit(t));
    w.text("indMP252", mp252(r.reinvested_percent));
    w.text("indOutraAlienacao", "S");
    w.text("indRecebimentoUltimaParcela", paid_off ? "S" : "N");
    w.text("indReforma", r.sold_before ? "" : yes(t, "PARCOMPRA") ? "S" : "N");
    w.text("naturezaOperacao", "1");
    w.translit("nomeNaturezaOperacao", field(t, "NATUOPER"));
    w.text("nomePaisDeclarante", "105 - Brasil");
    w.number("numeroItem", item, NumberCode::Whole);
    w.text("paisDeclarante", "105");
    w.number("percentualAplicado", r.reinvested_percent, NumberCode::SixDecimals);
    w.number("percentualReducao7713", dc::divide(f.reduction, f.result1) * 100, NumberCode::Digits);
    w.number("percentualReducaoFR1", dc::divide(field_amount(t, "FATOR1"), f.result2) * 100,
             NumberCode::SixDecimals);
    w.number("percentualReducaoFR2", dc::divide(field_amount(t, "FATOR2"), f.result3) * 100,
             NumberCode::SixDecimals);
    w.amount("resultado1", f.gain);
    w.amount("resultado2", f.result2);
    w.amount("resultado3", f.result3);
    w.amount("resultado4", f.result4);
    w.amount("resultado5", f.result5);
    w.translit("tipoLogradouro", field(t, "RUAIMO"));
    w.amount("valorAplicado", r.reinvested_or_withheld);
    w.amount("valorRecebidoAnosAnteriores", r.sold_before ? r.earlier_sale - r.to_receive : 0);
    w.amount("valorReducao7713", field_amount(t, "REDUCAO"));
    w.amount("valorReducaoFR1", field_amount(t, "FATOR1"));
    w.amount("valorReducaoFR2", field_amount(t, "FATOR2"));
    w.amount("valorReducaoValorAlienacao", f.reinvested, Close::Start);
    write_purchase_parcels(w, t, r);
    write_assessment(w, t, r, f, "0", item);
    write_acquirer(w, t);
    write_receipts(w, t, r, f, 1);
    write_consolidation(w, t, r, f);
    w.end("item");
}

void write_movable(XmlWriter& w, Table& t, int item, const Permanence& p) {
    const GainRow r = gain_row(t);
    const GainFigures f = figures_of(r);
    w.open("item");
    write_common_head(w, t, "15,00");
    w.amount("custoAquisicao", r.cost);
    write_permanence(w, p);
    w.text("dataRecebimentoUltimaParcela", last_receipt_date(f.last_month, date_of(t, "DATA_ALI")));
    w.translit("descricao", field(t, "ESPC_BEM"));
    w.amount("impostoDevido", f.due);
    w.amount("impostoPago", f.paid);
    w.text("indAlienacaoAnoAnterior", field(t, "VENDAANT"));
    w.text("indAlienacaoPrazo", field(t, "VEN_PRAZO"));
    w.text("indConjuntoBensSuperiorAoLimiteIsencao", above_limit(t));
    w.text("indRecebimentoUltimaParcela", last_receipt_flag(r));
    w.translit("naturezaOperacao", "1");
    w.translit("nomeNaturezaOperacao", field(t, "NATUOPER"));
    w.text("nomePaisDeclarante", "105 - Brasil");
    w.number("numeroItem", item, NumberCode::Whole);
    w.text("paisDeclarante", "105");
    w.amount("resultado1", f.gain);
    w.amount("Resultado2", f.gain);
    w.amount("valorRecebidoAnosAnteriores", r.sold_before ? r.earlier_sale - r.to_receive : 0, Close::Start);
    write_assessment(w, t, r, GainFigures{}, "2", item);
    write_acquirer(w, t);
    write_receipts(w, t, r, f, 2);
    write_consolidation(w, t, r, f);
    w.end("item");
}

void write_share_sales(XmlWriter& w, Table& t, const GainRow& r) {
    w.open("colGCapQuota");
    w.text("tipoItens", "serpro.ppgd.irpf.ganhosdecapital.ItemDadosGCapQuota", Close::Start);
    const rt::Date sale = date_of(t, "DATA_ALI");
    if (!sale.empty() && sale.year() >= 2011) {
        int n = 0;
        for_parcels(r.number, [&](Table& p) {
            if (field_amount(p, "TIPO_OPER") != 3) return;
            const double kind = field_amount(p, "TIPO_ACAO");
            const double quantity = field_amount(p, "MOV_ACAO");
            const double average = field_amount(p, "CM_PONDER");
            w.open("item");
            w.number("codigoEspecie", kind == 0 || kind > 4 ? 3 : kind, NumberCode::Whole);
            w.number("numeroItem", ++n, NumberCode::Whole);
            w.number("quantidadeAlienada", quantity, NumberCode::Digits);
            w.amount("valorCusto", quantity * average);
            w.number("valorPonderado", average, NumberCode::SixDecimals, Close::Empty);
        });
        if (n == 0)
            common::AVISOSN(std::vector<std::string>{
                "Atenção! O ganho de capital de participação Societária foi  "_cp,
                " preenchido incorretamente. Falta a Venda das ações confira!"_cp,
                "É preciso ter no mínimo duas linhas com o saldo e a venda.  "_cp,
                "O saldo usa no movimento código 1 a venda código 3 !"_cp});
    }
    w.end("colGCapQuota");
}

void write_participation(XmlWriter& w, Table& t, int item, const Permanence& p) {
    const GainRow r = gain_row(t);
    const GainFigures f = figures_of(r);
    const int kind = static_cast<int>(field_amount(t, "TIPOPART"));
    static constexpr const char* kSpecies[] = {"", "A", "Q", "F"};
    static constexpr const char* kSpeciesNames[] = {"", "Acoes", "Quotas/Outras", "F.I.I."};
    const int species = kind >= 1 && kind <= 3 ? kind : 0;
    if (species == 0)
        common::AVISOSN(std::vector<std::string>{"Atenção! Não foi prenchido o tipo de participação ou "_cp,
                                                 "existe um Ganho de capital de Participação societária"_cp,
                                                 "apenas começada e ainda não terminada. Corrija isso."_cp});
    w.open("item");
    w.text("CNPJSociedade", field(t, "CGC_SOCIE"));
    write_common_head(w, t, kind == 3 ? "20,00" : "15,00");
    w.amount("custoAquisicao", r.cost);
    w.text("dataAlienacao", date_text(date_of(t, "DATA_ALI")));
    write_permanence(w, p);
    w.text("dataRecebimentoUltimaParcela", last_receipt_date(f.last_month, date_of(t, "DATA_ALI")));
    w.translit("descricao", field(t, "ESPC_BEM").substr(0, 60));
    w.translit("especie", kSpecies[species]);
    w.amount("ganhoCapital", f.taxable);
    w.amount("impostoAposComp", f.due - f.withheld);
    w.amount("impostoDevido", f.due);
    w.amount("impostoPago", f.paid);
    w.amount("impostoRendaFonte", f.withheld);
    w.text("indAlienacaoAnoAnterior", field(t, "VENDAANT"));
    w.text("indAlienacaoPrazo", field(t, "VEN_PRAZO"));
    w.text("indConjuntoBensSuperiorAoLimiteIsencao", above_limit(t));
    w.text("indRecebimentoUltimaParcela", last_receipt_flag(r));
    w.translit("municipio", municipality_code(field(t, "CID_SOCIE"), field(t, "EST_SOCIE")));
    w.text("nomeEspecie", kSpeciesNames[species]);
    w.translit("nomeMunicipio", field(t, "CID_SOCIE"));
    w.text("nomePaisDeclarante", "105 - Brasil");
    w.text("nomeUF", field(t, "EST_SOCIE"));
    w.number("numeroItem", item, NumberCode::Whole);
    w.text("paisDeclarante", "105");
    w.amount("resultado1", f.gain);
    w.text("uf", field(t, "EST_SOCIE"));
    w.amount("valorAlienacao", r.sold_before ? r.earlier_sale : r.sale);
    w.amount("valorRecebidoAnosAnteriores", r.sold_before ? r.earlier_sale - r.to_receive : 0, Close::Start);
    write_share_sales(w, t, r);
    write_acquirer(w, t);
    write_receipts(w, t, r, f, 3);
    write_consolidation(w, t, r, f);
    w.end("item");
}

void write_declarants(XmlWriter& w, const Permanence& p) {
    w.open("declarantes");
    w.text("tipoItens", kDeclarants, Close::Start);
    w.open("item");
    w.text("cpf", dc::text("CPF"));
    w.translit("nome", dc::text("NOMECONTR"));
    write_permanence(w, p);
    w.amount("valorExclusivo", dc::amount("I4_02"));
    w.amount("valorImpostoPago", dc::amount("I13_46"));
    w.amount("valorPequeno", dc::amount("I3_04GCPVC"));
    w.amount("valorReducao", dc::amount("I3_04REDUC"));
    w.amount("valorUnicoImovel", dc::amount("I3_04UNICC"), Close::Empty);
    w.end("declarantes");
}

void write_empty_gains(XmlWriter& w) {
    w.open("ganhosDeCapital");
    w.amount("totalImpostoPagoSobreGanhosCapital", 0);
    w.amount("totalImpostoRetidoFonteSobreGanhosCapital", 0, Close::Start);
    for (const auto& c : kCollections) {
        w.open(c.element);
        w.text("tipoItens", c.items, Close::Empty);
    }
    w.open("declarantes");
    w.text("tipoItens", kDeclarants, Close::Empty);
    w.end("ganhosDeCapital");
}

}  // namespace

void write_capital_gains(XmlWriter& w) {
    Table* gains = dc::work_table(kGainsArea);
    bool any_row = false;
    dc::for_each_row(kGainsArea, [&](Table&) { any_row = true; });
    if (gains == nullptr || !any_row) {
        write_empty_gains(w);
        return;
    }
    const Permanence p = permanence();
    w.open("ganhosDeCapital");
    w.amount("totalImpostoPagoSobreGanhosCapital", dc::amount("I13_46"));
    w.amount("totalImpostoRetidoFonteSobreGanhosCapital", 0, Close::Start);
    for (const auto& c : kCollections) {
        w.open(c.element);
        w.text("tipoItens", c.items, Close::Start);
        int item = 0;
        dc::for_each_row(kGainsArea, [&](Table& t) {
            if (static_cast<int>(field_amount(t, "TIPO_BEM")) != c.kind) return;
            ++item;
            if (c.kind == 1) write_real_estate(w, t, item, p);
            else if (c.kind == 2) write_movable(w, t, item, p);
            else write_participation(w, t, item, p);
            w.flush();
        });
        w.end(c.element);
    }
    write_declarants(w, p);
    w.end("ganhosDeCapital");
    w.flush();
}

}  // namespace qv::transfer
