// The sections that identify the taxpayer: contribuinte, conjuge and the
// identifier attribute set.
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;
using declaration::is;

bool estate() { return is("DECFINAL", 'S'); }

// A text that only an address abroad writes.
std::string abroad_only(const Generation& g, std::string_view value) {
    return g.abroad ? std::string(value) : std::string();
}

std::string result_kind() {
    if (amount("I13_38") == 0.0 && amount("I13_36") == 0.0) return "SSI";
    return amount("I13_38") == 0.0 ? "IAP" : "IAR";
}

std::string declaration_kind() {
    if (estate()) return "E";
    return is("DECSAIDA", 'S') ? "S" : "A";
}

}  // namespace

void write_contribuinte(Generation& g) {
    XmlWriter& w = g.out;
    const std::string district = rt::LEFT(global_text("BAIRRO"), 19);
    w.open("contribuinte");
    if (estate()) w.number("anoObito", amount("ANOOBITO"), NumberCode::Digits);
    else w.text("anoObito", "");
    w.translit("bairro", district);
    w.translit("bairroExt", abroad_only(g, district));
    w.text("cep", global_text("CEP"));
    w.text("cepExt", abroad_only(g, global_text("CEP")));
    w.translit("cidade", global_text("MUNICIPIO"));
    w.text("codigoExterior", abroad_only(g, global_text("CODEMB")));
    w.translit("complemento", global_text("COMPLEM"));
    w.translit("complementoExt", abroad_only(g, global_text("COMPLEM")));
    w.text("cpfMeeiro", estate() ? cpf_text(global_text("CPFCONJU")) : std::string());
    w.text("dataNascimento", date_text(declaration::date("NASCIMENTO")));
    const std::string area_code = rt::ALLTRIM(global_text("DDDTEL"));
    w.text("ddd", area_code.size() == 1 ? std::string() : area_code);
    w.text("exterior", g.cexter);
    w.translit("logradouro", global_text("ENDERECO"));
    w.translit("logradouroExt", abroad_only(g, global_text("ENDERECO")));
    w.text("municipio", global_text("CODMUNI"));
    w.translit("naturezaOcupacao", global_text("CODAT"));
    w.translit("numero", global_text("NUMERO"));
    w.translit("numeroExt", abroad_only(g, global_text("NUMERO")));
    w.translit("ocupacaoPrincipal", global_text("CDPRO"));
    w.text("pais", g.abroad ? global_text("CODPAIS") : std::string("105"));
    w.text("telefone", global_text("TELEFO"));
    w.translit("tipoLogradouro", rt::UPPER(global_text("TIPOEND")));
    w.text("tituloEleitor", global_text("TITULO"));
    w.text("uf", g.abroad ? std::string("DF") : global_text("UF"), Close::Empty);
}

void write_conjuge(Generation& g) {
    XmlWriter& w = g.out;
    const bool zeros = estate();
    const auto value = [&](std::string_view name) { return zeros ? 0.0 : amount(name); };
    double result = 0.0;
    if (!zeros && rt::VAL(global_text("CPFCONJU")) > 0)
        result = amount("I13_1C") + amount("I13_2C") + amount("I13_3C") + amount("I13_5C") - amount("I13_4C");
    w.open("conjuge");
    w.amount("baseCalculoImposto", value("I13_1C"));
    w.amount("carneComImpComplementar", 0);
    w.text("cpfConjuge", zeros ? cpf_text("") : global_text("CPFCONJU"));
    if (zeros) w.amount("decEntregou", 0);
    else w.text("decEntregou", global_text("I9_4"));
    w.amount("impRetidoFonte", value("I13_4C"));
    w.amount("rendIsentoNaoTributaveis", value("I13_2C"));
    w.amount("rendPJExigibilidadeSuspensa", value("I13_5C"));
    w.amount("rendSujeitosTribExcl", value("I13_3C"));
    w.amount("resultado", result, Close::Empty);
}

void IDENTIF(XmlWriter& w, const Generation& g) {
    w.text("cpf", g.ccpf);
    w.text("dataUltimoAcesso", g.stamp);
    w.text("declaracaoRetificadora", is("RETIFICA", 'S') ? "1" : "0");
    w.text("enderecoDiferente", is("NOVOEND", 'S') ? "1" : "0");
    w.text("exercicio", "2012");
    w.translit("nome", global_text("NOMECONTR"));
    w.text("numReciboDecRetif", global_text("NRORECIBO"));
    w.text("numeroReciboDecAnterior", global_text("RECIBOANT"));
    w.text("resultadoDeclaracao", result_kind());
    w.text("tipoDeclaracao", g.ctipo);
    w.text("tipoDeclaracaoAES", declaration_kind());
    w.text("transmitida", "0", Close::Empty);
}

}  // namespace qv::transfer
