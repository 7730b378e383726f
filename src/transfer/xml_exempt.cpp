// Exempt income (section 8), income taxed exclusively at source (section
// 9) with their auxiliary tables, and taxes paid (section 10).
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;

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
        const std::string kind = source_kind(t);
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

}  // namespace

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
            if (source_kind(t) == "D" && field_amount(t, "I1_9") > 0) simple_item(w, field_text(t, "I1_2"), field_amount(t, "I1_9"));
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
