// The layouts, written as the tables hold them. Families of numbered fields
// are generated in the order the files carry them, which matters: records
// are copied by field name but files are compared by record length.
#include "tables/schemas.hpp"

#include <cstdio>

#include "runtime/core/date.hpp"

namespace qv::tables {
namespace {

class Builder {
public:
    Builder& c(std::string name, int len) { return add(std::move(name), 'C', len, 0); }
    Builder& n(std::string name, int len, int dec = 0) { return add(std::move(name), 'N', len, dec); }
    Builder& d(std::string name) { return add(std::move(name), 'D', 8, 0); }
    Builder& l(std::string name) { return add(std::move(name), 'L', 1, 0); }
    Builder& amount(std::string name) { return n(std::move(name), 12, 2); }
    Structure done() { return std::move(s_); }

private:
    Builder& add(std::string name, char type, int len, int dec) {
        s_.push_back(FieldSpec{std::move(name), type, len, dec});
        return *this;
    }
    Structure s_;
};

std::string two(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

Structure imp01() {
    Builder b;
    b.c("CPF", 11);
    for (int nn = 1; nn <= 16; ++nn) {
        b.amount("I3_" + two(nn));
        if (nn <= 9) b.amount("I4_" + two(nn));
    }
    b.c("I3_12D", 60).c("I4_05D", 60).c("I4_09D", 60);
    for (const char* f : {"I3_04GCPV", "I3_04UNIC", "I3_04REDU", "I3_04EXTR", "I3_04GCPVC", "I3_04UNICC", "I3_04REDUC"})
        b.amount(f);
    b.c("DESPINST", 1).n("DESPALIM", 1).c("RELDEPEN", 20).c("CpfInvent", 11).c("NomInvent", 40)
        .c("EndInvent", 70).d("DataParti").d("Datadecis").c("nroProces", 25).c("VaraCivil", 4)
        .c("Comarca", 25).c("UFProces", 2).n("AnoObito", 4).c("DecFinal", 1).c("DecSaida", 1)
        .d("DataSaida").c("DecJudi", 1).d("DataLavra").c("NomeCarto", 80).c("CnpjCarto", 14)
        .c("MuniCarto", 30).n("Livrcarto", 7).n("FolhCarto", 7);
    for (int k = 1; k <= 50; ++k) b.amount("I13_" + two(k));
    b.n("QTD_QUOTA", 1);
    for (const char* f : {"CARNEINSS", "CARNEDEPEN", "PREVIDENC", "EMPRUR", "AMORUR", "OUTREC", "VALFUTUR",
                          "OUTRDES", "PREJVEN", "PREJVEN1", "PREJRUR", "PREJRVA", "LUCRRVA", "DESPNAO",
                          "EMPREST", "DESPDECLA", "DESPADRAO"})
        b.amount(f);
    b.n("INDALERTA", 2);
    for (const char* f : {"IMPOANTER", "CUSTOANT", "CUSTOANO", "ENTRADGP", "ISENTNAO", "CPMF", "CARTAOCRE"})
        b.amount(f);
    b.n("CAL_AUTO", 1).l("SO_REC").l("NOVREG");
    return b.done();
}

Structure imp02() {
    Builder b;
    b.c("CPF", 11).c("I1_1", 1).c("I1_2", 60).c("I1_3", 18);
    for (const char* f : {"I1_4", "I1_5", "I1_6", "I1_7"}) b.amount(f);
    b.c("I1_8", 11).c("TIPOCR", 1).d("DT_LC").amount("I1_9").amount("I1_10").c("I1_11", 1);
    for (int k = 12; k <= 20; ++k) b.amount("I1_" + std::to_string(k));
    b.n("I1_21", 5, 1).c("I1_22", 11).l("NEW");
    for (int mm = 1; mm <= 12; ++mm)
        for (const char* f : {"I1_4", "I1_5", "I1_6"}) b.amount(f + two(mm));
    return b.done();
}

Structure imp03() {
    return Builder{}.c("CPF", 11).c("NOMEDEPEN", 41).n("CODIDEPEN", 3).d("DATADEPEN").c("CPFDEPEN", 11)
        .n("NRODEPEN", 2).c("CPFHERDE", 18).c("SAIUJUNT", 1).done();
}

Structure imp04() {
    return Builder{}.c("CPF", 11).n("I7_0", 4).n("I7_1", 3).c("I7_2", 512).amount("I7_3").amount("I7_4")
        .n("I7_5", 3).n("I7_6", 4).c("I7_7", 1).c("I7_8", 3).amount("I7_9").c("I7_10", 1).c("ENDEIMO", 30)
        .c("NUMIMO", 6).c("COMPIMO", 30).c("BAIRIMO", 30).c("CEPIMO", 8).c("MUNICIMO", 30).c("UFIMO", 2)
        .c("CODMIMO", 4).c("MATRICU", 40).c("LIVRORG", 40).c("CARTORIO", 40).n("AREAIMO", 9, 1)
        .c("UNIDADE", 1).c("REGISTRO", 1).done();
}

Structure imp05() {
    return Builder{}.c("CPF", 11).n("I8_0", 4).n("I8_1", 3).c("I8_2", 512).amount("I8_3").amount("I8_4")
        .n("I8_5", 3).amount("I8_6").done();
}

Structure imp06() {
    Builder b;
    b.c("CPF", 11).c("I6_1", 50).c("I6_2", 18).n("I6_3", 2).amount("I6_4").amount("I6_5").n("I6_6", 2)
        .c("I6_7", 11).n("ACER", 1);
    for (int mm = 1; mm <= 12; ++mm) b.n("I6_4" + two(mm), 14, 2);
    return b.done();
}

Structure imp07() {
    Builder b;
    b.c("CPF", 11).n("BEM_NRO", 2).n("RVAR_NRO", 2).c("DAY_TRADE", 1).n("TIPO_BEM", 1).n("NRO_ITEM", 3)
        .c("CPFADQ", 18).n("PER_TRI", 10, 6).c("NOME_ADQ", 53).c("ESPC_BEM", 152).c("RUAIMO", 11)
        .c("ENDEIMO", 30).c("NUMIMO", 6).c("COMPIMO", 21).c("BAIRIMO", 20).c("CEPIMO", 8).c("MUNICIMO", 30)
        .c("UFIMO", 2).d("DATA_ALI").d("DATA_ADQ").c("NOME_SOCIE", 32).c("CGC_SOCIE", 14).c("CID_SOCIE", 30)
        .c("EST_SOCIE", 2).n("IND_ALI", 11, 4);
    for (const char* f : {"VAL_ALI", "CUS_ATUAL", "VAL_RECOL", "VAL_TRIBU", "VAL_NAOTRI", "VAL_IMPOSV",
                          "VAL_IMPOSP", "IMPPAGO"})
        b.amount(f);
    b.c("VEN_PRAZO", 1).c("PEQ_VALOR", 1).c("NATUOPER", 20).c("PARCOMPRA", 1).c("VENDAANT", 1)
        .amount("VAL_PARTE").n("PERART31", 10, 6).n("TIPOPART", 1).n("FR1", 18, 8).n("FR2", 18, 8);
    for (const char* f : {"REDUCAO", "FATOR1", "FATOR2", "GAN_TRIV", "GAN_TRIP", "VAL_ANTE", "VAL_DIFE",
                          "IMP_ANTE", "IMP_DIFE"})
        b.amount(f);
    for (int mm = 1; mm <= 12; ++mm)
        for (const char* f : {"REC_MES", "VAL_TRI", "IMP_DEV", "IMP_PAG", "IMP_LEI"}) b.amount(f + two(mm));
    return b.done();
}

Structure imp08() {
    return Builder{}.c("CPF", 11).n("BEM_NRO", 2).n("RVAR_NRO", 2).c("DAY_TRADE", 1).amount("VALOR_REDU")
        .amount("VALOR_CUST").d("DATA_CUST").n("IND_CUST", 10, 4).n("PER_RED", 3).n("PER_RED1", 11, 8)
        .n("PER_RED2", 11, 8).n("PER_CUST", 12, 6).amount("RESUL_2").amount("RESUL_3").n("SALDO_COEF", 14, 4)
        .n("CM_PONDER", 15, 6).n("SALDO_ACAO", 9).n("MOV_ACAO", 9).amount("CUST_UNI").n("CMED_COEF", 18, 4)
        .n("TIPO_OPER", 1).n("TIPO_ACAO", 1).c("LOTE", 17).done();
}

Structure imp09() {
    Builder b;
    b.c("CPF", 11).c("RETIFICA", 1).c("NOMECONTR", 53).c("TIPOEND", 11).c("ENDERECO", 37).c("NUMERO", 6)
        .c("COMPLEM", 21).c("BAIRRO", 20).c("CEP", 8).c("CODMUNI", 4).c("MUNICIPIO", 30).c("UF", 2)
        .c("CODPAIS", 3).c("CODEMB", 3).c("DDDTEL", 4).c("TELEFO", 8).c("DDDFAX", 4).c("NROFAX", 8)
        .c("EMAIL", 40).d("NASCIMENTO").c("TITULO", 13).c("CGCPAGADOR", 18).c("OCUPACAO", 69).c("CDPRO", 3)
        .c("CODAT", 2).c("DESCRAT", 58).c("NRORECIBO", 12).c("RECIBOATU", 12).c("RECIBOANT", 12)
        .n("CODACESSO", 12).c("SENACESSO", 15).c("TEMRURAL", 1).c("ATV_BRASIL", 1).c("CPFCONJU", 11)
        .c("CONJUNTA", 1).c("NOVOEND", 1).n("TEM_USO", 6).n("TAM_USO", 6).c("IMPRE", 1).n("ESTATUS", 2)
        .n("ORDEM", 2).c("SOMAG", 1).amount("I9_2").amount("I9_3").c("I9_4", 1).c("I9_5", 1)
        .c("DIRCONJU", 80).amount("VALOREC").c("BANCO", 3).c("AGENCIA", 6).c("CONTACO", 15).c("DEBITAUT", 1)
        .amount("SALDO").n("INDGAS", 6, 2).c("USAPADRAO", 1).c("CONJPAD", 1);
    for (const char* f : {"IMPPGRE", "I13_20", "I13_24", "I13_27", "I13_28", "I13_35", "I13_44", "I13_45",
                          "EXGSUSP"})
        b.amount(f);
    b.n("QTD_QUOTA", 1);
    for (const char* f : {"I13_1C", "I13_2C", "I13_3C", "I13_4C", "I13_5C"}) b.amount(f);
    b.c("SO_SIMPLES", 1).c("NOVO", 1).c("TELCELU", 8).c("TELESCR", 8).c("TELSECR", 8).d("ULTRESI")
        .d("ULTIMOV").n("NRQUOTA", 1).amount("DFQUOTA").n("NRCLEAO", 2).amount("DFCLEAO").n("NRGCAPIT", 2)
        .amount("DFGCAPIT").n("NRRVARIV", 2).amount("DFRVARIV");
    for (const char* f : {"TRIB_EX", "NTRIB_EX", "PREJU_EX", "DIVAD_EX", "DIVPG_EX", "TRIB_BR", "NTRIB_BR",
                          "PREJU_BR", "DIVAD_BR", "DIVPG_BR"})
        b.amount(f);
    b.c("NOMEAG", 22);
    return b.done();
}

Structure imp10() {
    return Builder{}.c("CPF", 11).n("CODDESP", 3).c("DESCDESP", 25).amount("VALODESP").c("DESCRITEM", 25).done();
}

Structure imp11() {
    return Builder{}.c("CPF", 11).c("OBSERV", 60).n("CODERR", 2).n("PAGINA", 2).done();
}

Structure imp12() {
    Builder b;
    b.c("CPF", 11).c("CPFdepen", 11);
    for (int mm = 1; mm <= 13; ++mm)
        for (int d = 1; d <= 7; ++d) b.amount("I2_" + std::to_string(d) + two(mm));
    return b.done();
}

Structure imp13() {
    return Builder{}.c("CPF", 11).c("CDCONTA", 4).c("DESCONTA", 60).n("VALODESP", 13, 2).n("NROITEM", 3)
        .c("NROCGCCPF", 18).l("LANCADO").n("MESINI", 2).n("MESFIM", 2).c("CPFDEPEN", 11).done();
}

Structure imp14() {
    Builder b;
    b.c("CPF", 11).c("DESCRICAO", 26);
    for (const char* f : {"POUPANCA", "APLICACAO", "PREJU", "OUTNT", "OUTTR", "OUTDP"}) b.amount(f);
    b.c("TIPO", 1);
    return b.done();
}

Structure imp15() {
    Builder b;
    b.c("CPF", 11).c("ATV_BRASIL", 1);
    for (int mm = 1; mm <= 12; ++mm) b.amount("I3_" + two(mm) + "OR").amount("I3_" + two(mm) + "OD");
    for (int k = 1; k <= 7; ++k) b.amount("I4R_" + two(k));
    b.amount("I5_08").amount("I5_09").amount("I5_10").amount("I6_10");
    for (int k = 1; k <= 5; ++k)
        for (const char* s : {"A", "B", "C", "S", "V1"}) b.n("I7_" + std::to_string(k) + s, 6);
    b.c("I7_V1", 22).l("SO_TOTAL");
    return b.done();
}

Structure imp16() {
    return Builder{}.c("CPF", 11).c("ATV_BRASIL", 1).c("I2R_01", 60).n("I2R_02", 9, 2).c("I2R_03", 8)
        .n("I2R_04", 6, 2).n("I2R_05", 1).c("I2R_06", 55).n("I2R_07", 2).amount("VALITR").c("CODPAIS", 3)
        .amount("RECEXT").amount("DESEXT").n("VALUSE", 7, 2).amount("RESUS").amount("OPC20US").amount("OPC20RS")
        .done();
}

Structure imp17() {
    return Builder{}.c("CPF", 11).c("ATV_BRASIL", 1).n("ITEM", 3).n("CODIGO", 3).n("I8R_0", 4).c("I8R_1", 512)
        .amount("I8R_2").c("I8R_3", 3).n("I8R_4", 1).done();
}

Structure imp18() {
    return Builder{}.c("CPF", 11).c("ATV_BRASIL", 1).n("I9R_0", 4).n("ITEM", 3).c("I9R_1", 512).amount("I9R_2")
        .amount("I9R_3").amount("I9R_4").amount("I9R_5").done();
}

Structure imp19() {
    return Builder{}.c("CPF", 11).c("ATV_BRASIL", 1).d("DT_LC").c("DESCR", 41).n("VALOR", 14, 2).n("NROIMO", 2)
        .c("TIPOCR", 1).c("TEMITR", 1).done();
}

Structure imp20() {
    return Builder{}.c("CPF", 11).n("REFEREN", 4).c("NOMEDEPEN", 41).n("NRODEPEN", 2).c("CPFHERDE", 18)
        .n("PERCENT", 6, 2).done();
}

Structure prints() {
    return Builder{}.c("CONFIM", 1).c("NOMEIMP", 15).c("SEQ0", 60).c("SEQ1", 60).c("SEQ2", 60).c("SEQ3", 60).done();
}

Structure config() {
    Builder b;
    b.c("NRO_TERM", 2);
    for (const char* f : {"ROTAANTER", "ROTADOANO", "ROTAREANT", "ROTARECEI", "ROTAJAVA", "ROTABACK", "dirtrab",
                          "DIRPROV", "DIRINST"})
        b.c(f, 80);
    b.n("queimp", 2).n("quemod", 1).n("quepag", 2).n("quecon", 1).n("ENV_STAT", 1).n("MARESQ", 2).n("INIFOL", 2)
        .n("LINETI", 2).n("NRO_LIN", 2).n("OPC_TRAN", 2).n("compaga", 1).c("ImpBem", 1).c("ImpBal", 1)
        .c("mosimp", 1).c("mostel", 1).c("mosCPF", 1).n("ult_ter", 1).n("ult_mod", 1).c("ult_cpf", 11)
        .c("XDRIVE", 1).n("SOESTE", 2).n("OPTTRAN", 1).n("NOVOIT", 2).d("ULTBACK").c("OPCIRPF", 1)
        .c("NOMEAG", 22);
    return b.done();
}

Structure define() {
    Builder b;
    for (int k = 1; k <= 8; ++k) b.d("VCTO" + std::to_string(k));
    b.n("VAL_SEG", 5, 2).n("VAL_BYTE", 5, 2).n("VAL_MIN", 8, 2).n("COMO_SAL", 1).n("TEMP_SAL", 2).n("TEMP_DES", 2)
        .n("VAL_CPMF", 8, 4).n("VAL_DOLAR", 8, 4).c("BOL_BANCO", 4).c("BOL_AGENCI", 4).c("BOL_CONTA", 6)
        .c("BOL_NOME", 30).c("BOL_CNPJ", 14).c("BOL_CPF", 11).c("BOL_CARTEI", 3).n("BOL_NOSNRO", 8)
        .c("SER_SMTP", 47).c("NOM_USUA", 40).c("EMA_USUA", 40).c("SEN_USUA", 19).c("MEMORIZ", 1)
        .c("VER_ATUAL", 1).c("PROCESSA", 1).c("PROGCOMP", 1).n("STATRAVA", 2);
    return b.done();
}

Structure impcorrig() {
    return Builder{}.c("CPF", 11).c("NOMECONTR", 53).amount("IMPPGRE").n("QTD_QUOTA", 1).amount("IMPOSTO")
        .amount("RESTITU").amount("CORRIGI").done();
}

Structure cores() {
    Builder b;
    b.c("NRO_TERM", 2);
    for (const char* f : {"COR_TEL1", "COR_TEL2", "COR_TEL3", "COR_MENS", "COR_PEGA", "COR_HELP", "COR_FERID",
                          "COR_ESCOL", "COR_ENCHE"})
        b.n(f, 3);
    for (const char* f : {"COR_1_CLI", "COR_2_CLI", "COR_INI", "COR_SAY", "COR_GET", "COR_CLI_HE", "COR_ESC_CL",
                          "COR_ENCH_C"})
        b.c(f, 10);
    return b.done();
}

Structure confimp() {
    return Builder{}.c("NRO_TERM", 2).n("NROIMPR", 1).n("NROLPT", 1).n("NROCOM", 1).c("LOCIMPR", 1)
        .c("VERMELHO", 1).c("SAIDAPR", 8).c("NOMEIMP", 15).c("NOMEREDE", 60).c("SEQ0", 60).c("SEQ1", 60)
        .c("SEQ2", 60).c("SEQ3", 60).done();
}

Structure folhapg() {
    Builder b;
    b.c("CPF", 11).c("NOMECONTR", 47).c("NOMEFONTE", 40).c("CNPJFONTE", 18);
    for (const char* f : {"RENDIMENT", "PREVOFICA", "PREVPRIVA", "PENSAOPAG", "IRRETIDO", "ISENTOAPO", "DIARIAS",
                          "PENSAOREC", "LUCRODIV", "SOCIO", "IDENIZA", "DECIMO3RO"})
        b.amount(f);
    b.c("COMPLENTA", 40).c("OUTROS", 40).c("OUTROSEXC", 40).amount("VALOUTRO").amount("VALOUTRE").c("IMPRE", 1);
    return b.done();
}

Structure boleto() {
    // NRODOCUM twice: the file carries it so; reads and writes by name reach
    // the first one.
    return Builder{}.n("NRODOCUM", 5).n("NOSSONRO", 8).d("DATADOC").n("NRODOCUM", 5).amount("VALORDOC")
        .c("NOMESAC", 30).c("CPFSAC", 11).done();
}

Structure declaration_table(int code) {
    switch (code) {
        case 1: return imp01();
        case 2: return imp02();
        case 3: return imp03();
        case 4: return imp04();
        case 5: return imp05();
        case 6: return imp06();
        case 7: return imp07();
        case 8: return imp08();
        case 9: return imp09();
        case 10: return imp10();
        case 11: return imp11();
        case 12: return imp12();
        case 13: return imp13();
        case 14: return imp14();
        case 15: return imp15();
        case 16: return imp16();
        case 17: return imp17();
        case 18: return imp18();
        case 19: return imp19();
        default: return imp20();
    }
}

}  // namespace

std::optional<Structure> schema_of(int code) {
    if (code >= 1 && code <= 20) return declaration_table(code);
    if (code >= 21 && code <= 40) return declaration_table(code - 20);
    switch (code) {
        case 41: return prints();
        case 42: return config();
        case 43: return define();
        case 44: return impcorrig();
        case 50: return Builder{}.c("SELEC", 1).c("DIRETOR", 80).done();
        case 52: return Builder{}.c("DESCRICAO", 512).n("CODIGO", 3).done();
        case 53: return Builder{}.c("NOME", 50).c("CGCCPF", 18).n("CODIGO", 2).done();
        case 54: return Builder{}.n("coderr", 2).c("DESCRI", 60).n("GRAU", 1).n("PAGINA", 2).done();
        case 56: return cores();
        case 57: return confimp();
        case 63: return folhapg();
        case 67: return boleto();
        case 68:
            return Builder{}.c("DESCRICAO", 40).amount("VALORDOC").n("PERCDESP", 6, 2).n("PERCRECE", 6, 2).done();
        case 70:
            return Builder{}.c("CPF", 11).c("NOMECONTR", 40).c("NOMEARQ", 80).c("TIPO", 12).c("ORIGEM", 12)
                .c("IMPRE", 1).done();
        case 72: return Builder{}.c("NOMEAG", 22).c("HORAG", 5).c("ANOTAG", 60).d("DATAG").l("AVISAG").done();
        case 73:
            return Builder{}.c("NOMEAG", 22).c("CPF", 11).c("NOMECONTR", 53).d("DATAUSO").c("INIUSO", 8)
                .c("FIMUSO", 8).c("TEMUSO", 8).done();
        default: return std::nullopt;
    }
}

int record_length(const Structure& s) {
    int total = 1;
    for (const FieldSpec& f : s) total += f.type == 'D' ? 8 : f.type == 'L' ? 1 : f.type == 'M' ? 10 : f.len;
    return total;
}

std::vector<std::pair<std::string, rt::Value>> define_defaults() {
    std::vector<std::pair<std::string, rt::Value>> v;
    const int due[8][2] = {{30, 4}, {31, 5}, {29, 6}, {31, 7}, {31, 8}, {28, 9}, {31, 10}, {30, 11}};
    for (int k = 0; k < 8; ++k)
        v.emplace_back("VCTO" + std::to_string(k + 1), rt::Value(rt::Date::from_ymd(2012, due[k][1], due[k][0])));
    v.emplace_back("VAL_SEG", rt::Value(1.60));
    v.emplace_back("VAL_BYTE", rt::Value(1.00));
    v.emplace_back("VAL_MIN", rt::Value(60.00));
    v.emplace_back("COMO_SAL", rt::Value(2));
    v.emplace_back("TEMP_SAL", rt::Value(15));
    v.emplace_back("TEMP_DES", rt::Value(2));
    v.emplace_back("VAL_CPMF", rt::Value(0.0));
    v.emplace_back("VAL_DOLAR", rt::Value(1.8751));
    v.emplace_back("PROCESSA", rt::Value("S"));
    v.emplace_back("PROGCOMP", rt::Value("S"));
    return v;
}

}  // namespace qv::tables
