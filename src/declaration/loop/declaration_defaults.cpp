#include "declaration/loop/declaration_defaults.hpp"

#include <string>
#include <string_view>

#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/monthly_matrices.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration {

namespace {

// A blank text field of its width.
struct Blank {
    std::string_view name;
    int width;
};

constexpr Blank kBlankTexts[] = {
    {"CPFINVENT", 11}, {"ENDINVENT", 70}, {"NOMEINVENT", 40}, {"NROPROCES", 25}, {"VARACIVIL", 4},
    {"COMARCA", 25},   {"UFPROCES", 2},   {"NOMECARTO", 80},  {"CNPJCARTO", 14}, {"MUNICARTO", 30},
    {"RETIFICA", 1},   {"CONJUNTA", 1},   {"NOMECONTR", 53},  {"TIPOEND", 11},   {"ENDERECO", 37},
    {"NUMERO", 6},     {"COMPLEM", 21},   {"BAIRRO", 20},     {"CEP", 8},        {"CODMUNI", 4},
    {"MUNICIPIO", 24}, {"UF", 2},         {"DDDTEL", 4},      {"TELEFO", 8},     {"DDDFAX", 4},
    {"NROFAX", 8},     {"EMAIL", 30},     {"CGCPAGADOR", 18}, {"OCUPACAO", 69},  {"SENACESSO", 15},
    {"DESCRAT", 58},   {"CODAT", 2},      {"CDPRO", 3},       {"CPFCONJU", 11},  {"NOVOEND", 1},
    {"TITULO", 13},    {"LOCWZK", 40},    {"BANCO", 3},       {"AGENCIA", 6},    {"CONTACO", 15},
    {"CONJPAD", 1},    {"DESPINST", 1},   {"NRORECIBO", 12},  {"RECIBOATU", 12}, {"RECIBOANT", 12},
    {"I3_12D", 40},    {"I4_05D", 40},
};

constexpr std::string_view kZeros[] = {
    "I9_2", "I9_3", "LIVRCARTO", "FOLHCARTO", "ANOOBITO", "CODACESSO", "I13_1C", "I13_2C", "I13_3C",
    "I13_4C", "I13_5C", "EXGSUSP", "SI_01A", "SI_01B", "TAM_USO", "TEM_USO", "DESPALIM", "IMPPGRE",
    "INDGAS", "QTD_QUOTA", "EXTRDEV", "EXTRPAGO", "I3_04GCPV", "I3_04UNIC", "I3_04REDU", "I3_04EXTR",
    "I3_04GCPVC", "I3_04UNICC", "I3_04REDUC", "VALFUTUR", "AMORUR", "EMPRUR", "DESPNAO", "PREJVEN1",
    "PREJVEN", "EMPREST", "PREJRUR", "PREJRVA", "LUCRRVA", "CARTAOCRE", "DESPADRAO", "DESPDECLA",
    "OUTREC", "OUTRDES", "IMPOANTER", "CPMF",
};

std::string numbered(std::string_view prefix, int n) {
    return std::string(prefix) + rt::STRZERO(n, 2);
}

}  // namespace

rt::Value LIMPVAR() {
    for (const auto& b : kBlankTexts) set_variable(b.name, rt::Value(rt::SPACE(b.width)));
    for (const auto name : kZeros) set_variable(name, rt::Value(0.0));
    for (const auto name : {"DATAPARTI", "DATADECIS", "DATALAVRA", "NASCIMENTO"})
        set_variable(name, rt::Value(rt::Date()));
    set_variable("I9_4", rt::Value("N"));
    set_variable("I9_5", rt::Value("N"));
    set_variable("TEMRURAL", rt::Value("N"));
    set_variable("CAL_AUTO", rt::Value(1));
    set_variable("JA_CALC", rt::Value(false));
    set_variable("SO_REC", rt::Value(false));
    set_variable("SO_SIMPLES", rt::Value("S"));
    set_variable("SOMAG", rt::Value(""));
    set_variable("ESTATUS", rt::Value(2));
    set_variable("INDALERTA", rt::Value(10));
    set_variable("USAPADRAO", rt::Value("S"));
    // Neither an estate's closing nor a departure, as a declaration starts.
    set_variable("DECFINAL", rt::Value("N"));
    set_variable("DECSAIDA", rt::Value("N"));
    set_variable("DECJUDI", rt::Value("S"));
    for (int n = 1; n <= 50; ++n) set_variable(numbered("I13_", n), rt::Value(0.0));
    for (int n = 1; n <= 13; ++n) set_variable(numbered("I3_", n), rt::Value(0.0));
    for (int n = 1; n <= 7; ++n) set_variable(numbered("I4_", n), rt::Value(0.0));
    blank_rec_mensal();
    return rt::Value("");
}

}  // namespace qv::declaration
