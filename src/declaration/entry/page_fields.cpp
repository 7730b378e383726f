#include "declaration/entry/page_fields.hpp"

#include <array>
#include <map>
#include <vector>

namespace qv::declaration {

namespace {

constexpr const char* kAmount = "@Ez 999,999,999.99";
constexpr const char* kCalc3 = "CALC(3, 1)";
constexpr const char* kCalc7 = "CALC(7, 1)";
constexpr const char* kCpf = "@r 999.999.999-99";
constexpr const char* kNotFinal = "VE_ESPO(1)";

using Fields = std::vector<PageField>;

PageField amount(int row, int col, const char* var, const char* valid = "", const char* when = "") {
    return {row, col, var, kAmount, valid, when};
}

PageField text(int row, int col, const char* var, int width, const char* picture = "", const char* valid = "",
               const char* when = "", bool absolute = false) {
    return {row, col, var, picture, valid, when, absolute, 'C', width};
}

PageField date(int row, int col, const char* var, const char* valid = "", const char* when = "") {
    return {row, col, var, "@D", valid, when, false, 'D', 0};
}

PageField at(int row, int col, const char* var, int width, const char* picture = "", const char* valid = "",
             const char* when = "") {
    return text(row, col, var, width, picture, valid, when, true);
}

const std::map<int, Fields>& forms() {
    static const std::map<int, Fields> all = {
        {31,
         {amount(1, 65, "I3_01", kCalc3), amount(2, 65, "I3_02", kCalc3), amount(3, 65, "I3_03", kCalc3),
          amount(4, 65, "I3_04", "MOS_CAL(\"M->I3_04\")"), amount(8, 65, "I3_08", kCalc3),
          amount(10, 65, "I3_10", kCalc3), amount(12, 65, "I3_13", kCalc3), amount(15, 65, "I3_12", kCalc3),
          text(15, 11, "I3_12D", 53, "@s53")}},
        {32,
         {amount(4, 65, "I4_04", kCalc3), amount(6, 65, "I4_05", kCalc3), text(6, 11, "I4_05D", 53, "@s53"),
          amount(10, 65, "I4_09", kCalc3), text(10, 11, "I4_09D", 53, "@s53")}},
        {56,
         {text(1, 5, "CPFCONJU", 11, kCpf, "CPF_CONJU(\"M->CPFCONJU\", 3)"),
          text(1, 26, "I9_4", 1, "@!", "BUSCA_CONJU(M->I9_4, 1)", "INFO_VAZIA(M->CPFCONJU, 1)"),
          text(1, 36, "I9_5", 1, "@!", "PRENC_MANU(M->I9_5)", "INF_VAZ(M->CPFCONJU)"),
          amount(3, 25, "I13_1C", "SOMA_CONJ()", "PMANU()"), amount(4, 25, "I13_4C", "SOMA_CONJ()", "PMANU()"),
          amount(5, 25, "I13_2C", "SOMA_CONJ()", "PMANU()"), amount(6, 25, "I13_3C", "SOMA_CONJ()", "PMANU()"),
          amount(7, 25, "I13_5C", "SOMA_CONJ()", "PMANU()")}},
        {57,
         {text(2, 6, "CPFINVENT", 11, kCpf, "VAL_CPF(M->CPFINVENT, .T.)"),
          text(3, 11, "NOMINVENT", 60, "@S60", "", "INFO_VAZIA(M->CPFINVENT, 1)"),
          text(4, 11, "ENDINVENT", 60, "@S46", "", "INFO_VAZIA(M->CPFINVENT, 1)"),
          text(5, 31, "DECFINAL", 1, "@!", "VESEFINAL(M->DECFINAL, 1)", "INFO_VAZIA(M->CPFINVENT, 1)"),
          text(6, 11, "DECJUDI", 1, "@!", "VESEFINAL(M->DECJUDI, 2)", "INFO_VAZIA(M->DECFINAL, 2)")}},
        {571,
         {{9, 14, "ANOOBITO", "@z 9999"}, text(10, 27, "NROPROCES", 20), text(11, 12, "VARACIVIL", 10),
          text(11, 25, "COMARCA", 25), text(11, 54, "UFPROCES", 2, "@!", "VESIGLA(M->UFPROCES)"),
          date(12, 40, "DATAPARTI"), date(13, 40, "DATADECIS", "VAL_DATDEC()")}},
        {572,
         {{9, 14, "ANOOBITO", "@z 9999"}, text(10, 14, "NOMECARTO", 60, "@S40"), text(11, 11, "MUNICARTO", 40),
          text(11, 54, "UFPROCES", 2, "@!", "VESIGLA(M->UFPROCES)"), text(12, 6, "LIVRCARTO", 7, "@ 9999999"),
          text(12, 21, "FOLHCARTO", 7, "@ 9999999"),
          text(12, 36, "CNPJCARTO", 14, "@r 99.999.999/9999-99", "VAL_CGC(M->CNPJCARTO, .T.)"),
          date(13, 18, "DATALAVRA")}},
        {58, {text(1, 42, "DECSAIDA", 1, "@!", "VESESAIDA(M->DECSAIDA)")}},
        {581,
         {text(3, 6, "CPFINVENT", 11, kCpf, "VAL_CPF(M->CPFINVENT, .F.)"), text(4, 11, "NOMINVENT", 60, "@S40"),
          text(5, 11, "ENDINVENT", 60, "@S46"), date(6, 43, "DATASAIDA", "ANO_CERTO(M->DATASAIDA, 1)"),
          date(7, 43, "DATADECIS", "ANO_CERTO(M->DATADECIS, 2)")}},
        {6,
         {at(1, 40, "TEMRURAL", 1, "!", "VE_LETRSN(M->TEMRURAL)"),
          at(1, 52, "ATV_BRASIL", 1, "!", "MUDA_ATV(M->ATV_BRASIL, M->ATV_ANTES) .AND. (M->ATV_ANTES := M->ATV_BRASIL, .T.)", "M->TEMRURAL == \"S\""),
          at(2, 5, "NOMECONTR", 60), {3, 12, "NASCIMENTO", "@d", "DIZANOS(M->NASCIMENTO)", "", true, 'D', 0},
          at(3, 35, "TITULO", 13, "@r 99999999999-99", "", kNotFinal),
          at(3, 64, "CPFCONJU", 11, kCpf, "CPF_CONJU(\"M->CPFCONJU\", 2)"),
          at(4, 22, "CONJUNTA", 1, "!", "VE_CONJUN()"), at(4, 38, "RETIFICA", 1, "!", "VE_RETIF()"),
          at(4, 65, "NRORECIBO", 12, "@r 9999999999-99", "VENROREC(M->NRORECIBO, 1)", "M->RETIFICA == \"S\""),
          at(5, 24, "RECIBOATU", 12, "@r 9999999999-99", "VENROREC(M->RECIBOATU, 2)"),
          at(5, 65, "RECIBOANT", 12, "@r 9999999999-99", "VENROREC(M->RECIBOANT, 3)"),
          at(6, 26, "DEBITAUT", 1, "!", "VE_LETRSN(M->DEBITAUT)", "VE_DEBIT()"),
          at(6, 35, "BANCO", 3, "@r ###", "QUALBAN()"), at(6, 48, "AGENCIA", 6, "@r !!!!!-!"),
          at(6, 62, "CONTACO", 15, "@r !!!!!!!!!!!!!-!!"), at(9, 6, "TIPOEND", 15, "", "VELOGRA()", "VELOGRA()"),
          at(9, 28, "ENDERECO", 40), at(9, 76, "NOVOEND", 1, "!", "VE_LETRSN(M->NOVOEND)"), at(10, 8, "NUMERO", 6),
          at(10, 28, "COMPLEM", 21), at(10, 57, "BAIRRO", 19), at(11, 5, "CEP", 8, "@r 99999-999"),
          at(11, 18, "UF", 2, "@!", "VEESTADO(M->UF, \"M->MUNICIPIO\", 1)"),
          at(11, 33, "MUNICIPIO", 30, "", "VEESTADO(M->UF, \"M->MUNICIPIO\", 1)", "M->UF != \"EX\""),
          at(12, 28, "DDDTEL", 4, "@R #999"), at(12, 42, "TELEFO", 8, "@R ##99-9999"),
          at(12, 57, "NROFAX", 8, "@R ##99-9999"), at(13, 29, "EMAIL", 50, "", "", kNotFinal),
          at(16, 6, "CODAT", 2, "99", "NAT_OCU()"), at(16, 9, "DESCRAT", 60, "@k ", "NAT_OCU()", "EMPTY(M->CODAT)"),
          at(17, 5, "CDPRO", 3, "999", "VERPROF()", "VE_OCUP(M->CODAT)"),
          at(17, 9, "OCUPACAO", 60, "@K ", "VERPROF()", "EMPTY(M->CDPRO) .AND. M->CODAT != \"81\"")}},
        {70,
         {text(22, 76, "NUSACOMP", 1, "@!", "VIRA_COMP(M->NUSACOMP)"), amount(16, 49, "I13_31", kCalc7),
          amount(17, 49, "I13_33", kCalc7), {21, 24, "QTD_QUOTA", "@Z 9", "CSIMPLES(1, 1)", "VE_QUOT()"},
          {3, 66, "NSIMPOSTO", "@Ez 9999,999.99", "SIMUL(2)"}}},
        {71,
         {text(22, 19, "USAPADRAO", 1, "@!", "CONF_PADR()", "VE_ESPO(1) .AND. M->DECSAIDA != \"S\""),
          amount(13, 65, "I13_31", kCalc7), amount(14, 65, "I13_32", "FI13_32(M->I13_32)", "TEM_EXTER()"),
          amount(15, 65, "I13_33", kCalc7), {19, 44, "QTD_QUOTA", "@Z 9", kCalc7, "VE_QUOT()"},
          text(22, 31, "CCALCINV", 1, "@!", "FAZINVER(M->CCALCINV)", "VE_ESPO(1) .AND. M->DECSAIDA != \"S\"")}},
        {10,
         {text(3, 60, "SO_SIMPLES", 1, "@!", "MOS_BALAN()", "MOSTEX(11) .AND. M->USAPADRAO == \"S\""),
          amount(13, 25, "OUTREC", "MOS_BALAN()", "MOSTEX(4)"),
          text(14, 22, "SOMAG", 1, "@!", "MOS_BALAN()", "MOSTEX(3)"),
          amount(2, 64, "IMPOANTER", "MOS_BALAN()", "MOSTEX(2)"),
          amount(5, 64, "DESPNAO", "MOS_BALAN()", "MOSTEX(1)"),
          amount(6, 64, "PREJVEN1", "MOS_BALAN()", "MOSTEX(8)"),
          amount(12, 64, "OUTRDES", "MOS_BALAN()", "MOSTEX(5)"),
          {18, 74, "INDALERTA", "@z 99", "MOS_BALAN()", "MOSTEX(6)"},
          {20, 61, "VALOREC", "@Ez 99,999,999.99", "", "MOSTEX(7)"},
          text(20, 31, "CCONFERE", 1, "@!", "FAZCONF(M->CCONFERE)", "MOSTEX(10)")}},
        {11,
         {{1, 24, "ESTATUS", "99", "VE_STAT(M->ESTATUS, 1)"}, text(1, 49, "DDDFAX", 2, "@R 99"),
          text(2, 9, "TELCELU", 8, "@R 9999-9999"), text(2, 30, "TELESCR", 8, "@R 9999-9999"),
          text(2, 51, "TELSECR", 8, "@R 9999-9999"), date(3, 50, "ULTRESI"), date(4, 50, "ULTIMOV"),
          text(5, 26, "SENACESSO", 10), text(5, 49, "CODACESSO", 12, "@ 999999999999")}},
        {14,
         {amount(4, 63, "I4R_04", "FI4R_04(1)", "M->USAPADRAO != \"S\""), amount(11, 63, "I5_09", "CALCRUR(14, 0)"),
          amount(12, 63, "I5_10", "FI6_10(1)")}},
    };
    return all;
}

// The herd form: five stock and movement columns by five rows.
Fields herd_fields() {
    static const std::array<const char*, 25> names = {
        "I7_1B", "I7_2B", "I7_3B", "I7_4B", "I7_5B", "I7_1S", "I7_2S", "I7_3S", "I7_4S", "I7_5S",
        "I7_1C", "I7_2C", "I7_3C", "I7_4C", "I7_5C", "I7_1A", "I7_2A", "I7_3A", "I7_4A", "I7_5A",
        "I7_1V1", "I7_2V1", "I7_3V1", "I7_4V1", "I7_5V1"};
    static const std::array<const char*, 25> checks = {
        "CALCRUR(15, \"1B\")", "CALCRUR(15, \"2B\")", "CALCRUR(15, \"3B\")", "CALCRUR(15, \"4B\")",
        "CALCRUR(15, \"5B\")", "CALCRUR(15, \"1S\")", "CALCRUR(15, \"2S\")", "CALCRUR(15, \"3S\")",
        "CALCRUR(15, \"4S\")", "CALCRUR(15, \"5S\")", "CALCRUR(15, \"1C\")", "CALCRUR(15, \"2C\")",
        "CALCRUR(15, \"3C\")", "CALCRUR(15, \"4C\")", "CALCRUR(15, \"5C\")", "CALCRUR(15, \"1A\")",
        "CALCRUR(15, \"2A\")", "CALCRUR(15, \"3A\")", "CALCRUR(15, \"4A\")", "CALCRUR(15, \"5A\")",
        "CALCRUR(15, \"1V1\")", "CALCRUR(15, \"2V1\")", "CALCRUR(15, \"3V1\")", "CALCRUR(15, \"4V1\")",
        "CALCRUR(15, \"5V1\")"};
    Fields out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = 5 + 2 * static_cast<int>(i / 5);
        const int col = 31 + 8 * static_cast<int>(i % 5);
        out.push_back({row, col, names[i], "@Ez 999,999", checks[i]});
    }
    return out;
}

const std::map<int, Fields>& displays() {
    static const std::map<int, Fields> all = {
        {31,
         {amount(5, 65, "I3_05"), amount(6, 65, "I3_06"), amount(7, 65, "I3_07"), amount(9, 65, "I3_09"),
          amount(11, 65, "I3_11"), amount(13, 65, "I3_14"), amount(14, 65, "I3_15"), amount(16, 65, "I3_16")}},
        {32,
         {amount(1, 65, "I4_01"), amount(2, 65, "I4_02"), amount(3, 65, "I4_03"), amount(5, 65, "I4_06"),
          amount(8, 65, "I4_07"), amount(9, 65, "I4_08")}},
        {6,
         {at(1, 5, "CPF", 11, kCpf), at(1, 55, "NOMEAG", 20), at(11, 33, "MUNICIPIO", 30), at(11, 73, "CODMUNI", 4),
          at(12, 6, "CODPAIS", 3), at(12, 20, "CODEMB", 3), at(16, 9, "DESCRAT", 60), at(17, 9, "OCUPACAO", 60)}},
    };
    return all;
}

}  // namespace

std::span<const PageField> page_form(int number) {
    if (number == 15) {
        static const Fields herd = herd_fields();
        return herd;
    }
    const auto it = forms().find(number);
    if (it == forms().end()) return {};
    return it->second;
}

std::span<const PageField> page_display(int number) {
    const auto it = displays().find(number);
    if (it == displays().end()) return {};
    return it->second;
}

std::span<const int> form_numbers() {
    static const std::array<int, 15> numbers = {31, 32, 56, 57, 571, 572, 58, 581, 6, 70, 71, 10, 11, 14, 15};
    return numbers;
}

}  // namespace qv::declaration
