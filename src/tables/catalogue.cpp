// The table catalogue as data.
#include "tables/catalogue.hpp"

#include <cstdio>

namespace qv::tables {
namespace {

std::string declaration_file(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "IMP%02d12", code);
    return buf;
}

CatalogueEntry program(int code, std::string file, std::string key1, Mode mode = Mode::Shared) {
    CatalogueEntry e;
    e.code = code;
    e.file = std::move(file);
    e.folder = Folder::Program;
    e.key1 = std::move(key1);
    e.mode = mode;
    return e;
}

CatalogueEntry with_order2(CatalogueEntry e, std::string key2, std::string file2) {
    e.key2 = std::move(key2);
    e.file2 = std::move(file2);
    return e;
}

std::optional<CatalogueEntry> declaration_entry(int code) {
    CatalogueEntry e;
    e.code = code;
    e.file = declaration_file(code);
    e.folder = Folder::Client;
    e.mode = Mode::Caller;
    switch (code) {
        case 4: e.key1 = "CPF+str(I7_0,4)"; break;
        case 5: e.key1 = "CPF+STR(I8_0,4)"; break;
        case 6: e.key1 = "CPF+str(I6_3,2)"; break;
        case 9:
            e.key1 = "CPF";
            e.key2 = "UPPER(NOMECONTR)";
            e.file2 = "IMP0912B";
            e.key3 = "ESTATUS";
            e.file3 = "IMP0912C";
            break;
        case 15: case 16: case 17: case 18: e.key1 = "CPF+ATV_BRASIL"; break;
        case 19: e.key1 = "CPF+ATV_BRASIL+DTOS(DT_LC)"; break;
        default: e.key1 = "CPF"; break;
    }
    return e;
}

}  // namespace

std::optional<CatalogueEntry> catalogue_entry(int code, const std::string& terminal) {
    if (code >= 1 && code <= 20) return declaration_entry(code);
    switch (code) {
        case 41: return program(41, "PRINTS", "");
        case 42: return program(42, "CONFIG", "NRO_TERM");
        case 43: return program(43, "DEFINE", "");
        case 44: return program(44, "IMPCORRIG", "", Mode::Exclusive);
        case 45: return program(45, "HELPTXT", "UPPER(NOME)");
        case 46: return program(46, "CODBENS", "CODBEM");
        case 47: return program(47, "CODEPEN", "CODDEP");
        case 48: return program(48, "CODDIVI", "CODDIV");
        case 49: return program(49, "DESPESA", "CODDES");
        case 50: return program(50, "DIRET" + terminal, "upper(DIRETOR)", Mode::Exclusive);
        case 51: return program(51, "UFIRM", "ANOMES");
        case 52: return program(52, "AUXBENS", "DESCRICAO");
        case 53: return program(53, "AUXPAG", "NOME");
        case 54: return program(54, "LisErro", "CODERR");
        case 55: return with_order2(program(55, "BANCOS", "NUMBAN"), "NOMEBAN", "BANCOSB");
        case 56: return program(56, "CORES", "NRO_TERM");
        case 57: return program(57, "CONFIMP", "NRO_TERM");
        case 58: return with_order2(program(58, "OCUPACAO", "CDPRO"), "upper(OCUPACAO)", "OCUPACAB");
        case 59: return with_order2(program(59, "CODNATUR", "CODAT"), "UPPER(DESCRAT)", "CODNATB");
        case 60: return program(60, "TABPAIS", "CODPAIS");
        case 61: return program(61, "TABEMBA", "CD_EX");
        case 62: return program(62, "CONTAS", "CDCONTA");
        case 63: return program(63, "FOLHAPG", "CPF");
        case 64: return program(64, "TABMUNI", "");
        case 65: return program(65, "TABLOGR", "upper(nomelogra)");
        case 66: return program(66, "STATUS", "cod", Mode::Caller);
        case 67: return program(67, "BOLETO", "NOSSONRO", Mode::Caller);
        case 68: return program(68, "DETALH" + terminal, "", Mode::Exclusive);
        case 69: return program(69, "CODABENS", "CODBEM");
        case 70: return with_order2(program(70, "LISNOME", "NOMECONTR", Mode::Exclusive), "CPF", "LISNOMEB");
        case 72: return with_order2(program(72, "AGENDA", "NOMEAG"), "HORAG+DTOC(DATAG)", "AGENDAB");
        case 73: return with_order2(program(73, "USOLOG", "NOMEAG"), "CPF", "USOLOGB");
        default: return std::nullopt;
    }
}

bool is_reference_table(int code) {
    switch (code) {
        case 41: case 45: case 46: case 47: case 48: case 49: case 51: case 55: case 58: case 59: case 60: case 61:
        case 62: case 64: case 65: case 66: case 69:
            return true;
        default:
            return false;
    }
}

bool closes_with_sai_abre(int code) {
    return code == 42 || code == 43 || (code >= 55 && code <= 57) || (code >= 59 && code <= 67);
}

}  // namespace qv::tables
