// Sections 17 to 21: estate, summary with the tax computation, comparison
// of the two models, electoral donations and definitive departure.
#include <algorithm>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/tax_table.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;
using declaration::is;

// The balance of the simplified model as its own page works it out: the tax
// on the income less the standard discount, with the tax on cumulative
// income, less every tax paid but the one paid abroad. Positive: to pay;
// negative: to refund. Under the simplified model these are lines 36 and 38.
double simplified_balance() {
    const double base = std::max(amount("I13_08") - declaration::standard_discount(), 0.0);
    const double due = declaration::CALC_IMPOS(declaration::kAnnualTable, base, "", 12) + amount("I13_25");
    double paid = 0;
    for (const char* line : {"I13_27", "I13_28", "I13_29", "I13_30", "I13_31", "I13_33", "I13_34"}) paid += amount(line);
    return rt::ROUND(due - paid, 2);
}

void estate_attributes(XmlWriter& w, bool filled) {
    const auto text = [&](std::string_view name) { return filled ? global_text(name) : std::string(); };
    const auto date = [&](std::string_view attribute, std::string_view name) {
        if (filled) w.date(attribute, declaration::date(name));
        else w.text(attribute, "");
    };
    w.open("espolio");
    w.translit("comarca", text("COMARCA"));
    w.text("cpfInventariante", text("CPFINVENT"));
    date("dtDecisaoJud", "DATAPARTI");
    date("dtTransito", "DATADECIS");
    w.translit("endInventariante", rt::LEFT(text("ENDINVENT"), 70));
    w.translit("idVaraCivil", text("VARACIVIL"));
    w.translit("nomeInventariante", text("NOMINVENT"));
    w.text("numProcessoJudicial", text("NROPROCES"));
    w.text("tipoJudicial", filled ? (is("DECJUDI", 'S') ? "1" : "0") : "");
    w.text("uf", text("UFPROCES"), Close::Start);
    w.open("escrituracaoPublica");
    const std::string registry = text("CNPJCARTO");
    w.text("cnpjCartorio", filled ? rt::TRANSFORM(rt::Value(registry), "@r 99.999.999/9999-99") : std::string());
    date("dataLavratura", "DATALAVRA");
    if (filled) w.number("folhas", amount("FOLHCARTO"), NumberCode::Digits);
    else w.text("folhas", "");
    if (filled) w.number("livro", amount("LIVRCARTO"), NumberCode::Digits);
    else w.text("livro", "");
    w.translit("municipio", text("MUNICARTO"));
    w.translit("nome", rt::LEFT(text("NOMECARTO"), 60));
    w.text("uf", text("UFPROCES"), Close::Empty);
    w.end("espolio");
}

void other_information(Generation& g) {
    XmlWriter& w = g.out;
    w.open("outrasInformacoes");
    w.amount("bensDireitosExercicioAnterior", amount("I13_39"));
    w.amount("bensDireitosExercicioAtual", amount("I13_40"));
    w.amount("depositosJudiciais", g.dependants_judicial_deposits);
    w.amount("dividasOnusReaisExercicioAnterior", amount("I13_41"));
    w.amount("dividasOnusReaisExercicioAtual", amount("I13_42"));
    w.amount("impostoPagoGCAP", amount("I13_46"));
    w.amount("impostoPagoME", 0);
    w.amount("impostoPagoSobreRendaVariavel", amount("I13_47"));
    w.amount("informacoesConjuge", amount("I13_43"));
    w.amount("rendIsentosNaoTributaveis", amount("I13_44"));
    w.amount("rendIsentosTributacaoExclusiva", amount("I13_45"));
    w.amount("totalDoacoesCampanhasEleitorais", g.electoral_donations);
    w.amount("totalImpostoRetidoNaFonte", amount("I13_27") + amount("I13_28"), Close::Empty);
}

struct Bank {
    std::string bank, agency, agency_digit, account, account_digit;
};

Bank bank_data() {
    const std::string agency_text = global_text("AGENCIA");
    std::string agency = rt::ALLTRIM(rt::LEFT(rt::TRANSFORM(rt::Value(agency_text), "@ !!!!!-!"), 5));
    if (agency.size() == 5 && agency[0] == '0') agency.erase(0, 1);
    const std::string account = global_text("CONTACO");
    return {global_text("BANCO"), agency, rt::SUBSTR(agency_text, 6, 1), SEMPONTO(rt::LEFT(account, 13)),
            rt::SUBSTR(account, 14, 2)};
}

void bank_attributes(XmlWriter& w, std::string_view authorisation, const Bank& b) {
    w.text("debitoAutomatico", authorisation);
    w.text("banco", b.bank);
    w.text("agencia", b.agency);
    w.text("dvAgencia", b.agency_digit);
    w.text("contaCredito", b.account);
    w.text("dvContaCredito", b.account_digit);
}

// The bank attributes and the first-quota flag they decide.
std::string payment_attributes(Generation& g) {
    const std::string debit = rt::UPPER(rt::ALLTRIM(global_text("DEBITAUT")));
    const bool quotas = amount("QTD_QUOTA") > 0;
    if (debit.empty() || debit == "N") {
        bank_attributes(g.out, "N", quotas ? Bank{} : bank_data());
        return "0";
    }
    if (debit == "S") {
        bank_attributes(g.out, "autorizado", bank_data());
        return quotas && g.today < rt::Date::from_ymd(2012, 4, 1) ? "1" : "0";
    }
    return "0";
}

void tax_computation(Generation& g) {
    XmlWriter& w = g.out;
    w.open("calculoImposto");
    w.amount("baseCalculo", amount("I13_20"));
    w.amount("carneLeaoDependentes", amount("I13_30"));
    w.amount("carneLeaoTitular", amount("I13_29"));
    w.amount("deducaoIncentivo", amount("I13_22"));
    w.amount("descontoSimplificado", declaration::standard_discount());
    w.amount("imposto", amount("I13_21"));
    w.amount("impostoComplementar", amount("I13_31"));
    w.amount("impostoDevido", amount("I13_23"));
    w.amount("impostoDevidoII", amount("I13_23") - amount("I13_24"));
    w.amount("impostoDevidoRRA", amount("I13_25"));
    w.amount("impostoEspecie", 0);
    w.amount("impostoPagoExterior", amount("I13_32"));
    w.amount("impostoRetidoFonteDependentes", amount("I13_28"));
    w.amount("impostoRetidoFonteLei11033", amount("I13_33"));
    w.amount("impostoRetidoFonteTitular", amount("I13_27"));
    w.amount("impostoRetidoRRA", amount("I13_34"));
    w.amount("totalContribEmpregadoDomestico", amount("I13_24"));
    w.amount("totalImpostoPago", amount("I13_35"));
    w.amount("impostoRestituir", amount("I13_38"));
    const std::string first_quota = payment_attributes(g);
    // The balance to pay, not the number of quotas.
    w.amount("saldoImpostoPagar", amount("I13_36"));
    w.text("indicadorPrimeiraQuota", first_quota);
    w.number("numQuotas", amount("QTD_QUOTA"), NumberCode::Whole);
    w.amount("rendAcmDependentes", amount("I13_06"));
    w.amount("rendAcmTitular", amount("I13_05"));
    w.amount("rendRecebidoPJTitular", amount("I13_01"));
    w.amount("rendRecebidoPJDependentes", amount("I13_02"));
    w.amount("rendRecebidoPFEXTTitular", amount("I13_03") + amount("I13_49"));
    w.amount("rendRecebidoPFEXTDependentes", amount("I13_04") + amount("I13_50"));
    w.amount("rendTributavelAR", amount("I13_07"));
    w.amount("totalResultadosTributaveis", amount("I13_08"));
    w.amount("valorQuota", amount("I13_37"), Close::Start);
    w.raw(" ");
    w.open("identificadorDec");
    IDENTIF(g);
    w.raw(" ");
    w.end("calculoImposto");
}

void taxable_and_deductions(XmlWriter& w) {
    w.open("rendimentosTributaveisDeducoes");
    w.amount("dependentes", amount("I13_12"));
    w.amount("despesasInstrucao", amount("I13_13"));
    w.amount("despesasMedicas", amount("I13_14"));
    w.amount("livroCaixa", amount("I13_18"));
    w.amount("pensaoAlimenticia", amount("I13_15"));
    w.amount("pensaoAlimenticiaRRA", amount("I13_17"));
    w.amount("pensaoCartoral", amount("I13_16"));
    w.amount("previdenciaFAPI", amount("I13_11"));
    w.amount("previdenciaOficial", amount("I13_09"));
    w.amount("rendRecebidoPFEXTTitular", amount("I13_05"));
    w.amount("rendRecebidoPFEXTDependentes", 0);
    w.amount("rendRecebidoPJDependentes", amount("I13_02"));
    w.amount("rendRecebidoPJTitular", amount("I13_01"));
    w.amount("totalDeducoes", amount("I13_19"));
    w.amount("totalRendimentos", amount("I13_08"), Close::Empty);
}

}  // namespace

void write_espolio(Generation& g) {
    estate_attributes(g.out, !rt::ALLTRIM(global_text("CPFINVENT")).empty() && !is("DECSAIDA", 'S'));
}

void write_resumo(Generation& g) {
    g.out.open_bare("resumo");
    other_information(g);
    tax_computation(g);
    taxable_and_deductions(g.out);
    g.out.raw(" ");
    g.out.open("identificadorDeclaracao");
    IDENTIF(g);
    g.out.end("resumo");
}

void write_comparativo(Generation& g) {
    XmlWriter& w = g.out;
    w.open("comparativo");
    w.amount("baseCalcCompleta", amount("I13_20"));
    w.amount("baseCalcSimplificada", amount("I13_08") - declaration::standard_discount());
    w.amount("impRestituirCompleta", amount("I13_38"));
    const double simplified = simplified_balance();
    w.amount("impRestituirSimplificada", simplified < 0 ? -simplified : 0.0);
    w.amount("saldoPagarCompleta", amount("I13_36"));
    w.amount("saldoPagarSimplificada", simplified > 0 ? simplified : 0.0);
    w.amount("totalRendTribCompleta", amount("I13_08"));
    w.amount("totalRendTribSimplificada", amount("I13_08"), Close::Empty);
}

void write_doacoes(Generation& g) {
    XmlWriter& w = g.out;
    w.open("doacoes");
    w.text("tipoItens", "serpro.ppgd.irpf.eleicoes.Doacao");
    w.amount("totalDoacoes", g.electoral_donations, Close::Start);
    each_row(kPaymentsArea, [&](rt::table::Table& t) {
        if (static_cast<int>(field_amount(t, "I6_3")) != 98) return;
        w.open("item");
        w.text("cnpj", field_text(t, "I6_2"));
        w.translit("nome", SEMPONTO(field_text(t, "I6_1")));
        w.amount("valor", field_amount(t, "I6_4"), Close::Empty);
    });
    w.end("doacoes");
}

void write_saida(Generation& g) {
    XmlWriter& w = g.out;
    w.open("saida");
    w.text("cpfProcurador", global_text("CPFINVENT"));
    w.date("dtCondicaoNaoResidente", declaration::date("DATASAIDA"));
    w.date("dtCondicaoResidente", declaration::date("DATADECIS"));
    w.translit("endProcurador", rt::LEFT(global_text("ENDINVENT"), 70));
    w.translit("nomeProcurador", global_text("NOMINVENT"), Close::Empty);
}

}  // namespace qv::transfer
