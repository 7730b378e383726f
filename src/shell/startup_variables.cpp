// The program-wide variables of the main program with their starting values.
#include "common/globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "shell/startup_steps.hpp"

namespace qv::shell::startup {
namespace {

void declare(std::string_view name, rt::Value v) { rt::variables().declare_public(name, std::move(v)); }

void declare_all(std::initializer_list<const char*> names, const rt::Value& v) {
    for (const char* n : names) declare(n, v);
}

rt::Value zeros(std::size_t n) {
    rt::Value a = rt::Value::array(n);
    for (auto& v : *a.as_array()) v = rt::Value(0);
    return a;
}

void terminal_and_folders() {
    declare("NUSU", "00");
    declare_all({"DIRDEF", "ARQDEF", "ROTADEF", "ROTA", "LOCARQ", "LOCTRAB", "DIRORIG", "LOCIRPF"}, "");
}

void settings() {
    declare_all({"NOMEAG", "OPCIRPF", "ROTAANTER", "ROTARECEI", "ROTAJAVA", "ROTABACK", "ROTADOANO", "DIRTRAB",
                 "DIRPROV", "MOSIMP", "MOSTEL", "MOSCPF", "IMPBEM", "IMPBAL", "XDRIVE"},
                "");
    declare_all({"QUEIMP", "QUEMOD", "QUEPAG", "QUECON"}, 1);
    declare_all({"COMPAGA", "SOESTE", "OPTTRAN", "ENV_STAT", "OPC_TRAN", "MARESQ", "INIFOL", "LINETI", "NRO_LIN"}, 0);
    declare("ULT_CPF", rt::SPACE(11));
    declare("CPF", rt::SPACE(11));
    declare("ULTBACK", rt::DATE());
    declare_all({"VAL_SEG", "VAL_BYTE", "VAL_MIN", "COMO_SAL", "TEMP_SAL", "TEMP_DES", "VAL_CPMF", "BOL_NOSNRO",
                 "STATRAVA", "NVALDOLAR"},
                0);
    declare_all({"SER_SMTP", "NOM_USUA", "EMA_USUA", "SEN_USUA", "MEMORIZ", "VER_ATUAL", "PROCESSA", "PROGCOMP",
                 "CVALDOLAR"},
                "");
    declare("DAT_VENC", rt::Value::array());
    declare("BOL_BANCO", 341);
}

void colours() {
    declare("COR_TEL1", 30);
    declare("COR_TEL2", 31);
    declare("COR_TEL3", 63);
    declare("COR_MENS", 112);
    declare("COR_PEGA", 15);
    declare("COR_HELP", 112);
    declare("COR_FERID", 28);
    declare("COR_ESCOL", 79);
    declare("COR_ENCHE", 31);
    declare("COR_1_CLI", "GR+/B");
    declare("COR_2_CLI", "W+/B");
    declare("COR_INI", "W+/B");
    declare("COR_SAY", "N/W+");
    declare("COR_GET", "W/N");
    declare("COR_CLI_HE", "N/W");
    declare("COR_ESC_CL", "W/R+");
    declare("COR_ENCH_C", "W+/B");
    declare_all({"CORNORM", "CORLIMP", "CORSELE", "CORMENU"}, "");
    declare("INVISIVEL", "W/W,W/W,N/N,N/N,W/W");
    declare("CORATEN", "R/W*");
}

void windows() {
    declare_all({"ACJ", "ALJ", "ACJA", "ALJA"}, rt::Value::array());
    declare("ALJB", zeros(12));
    declare("ACJB", zeros(12));
    declare_all({"NT", "NTA", "NTB"}, 1);
    declare_all({"CONT_OLD", "NL_OLD", "TAM_OLD"}, 0);
}

void calendar() {
    declare_all({"DATCALEN", "HOJE"}, rt::DATE());
    declare_all({"DIA", "MESCALEN", "ANOCALEN", "DIAINIC"}, 0);
    declare_all({"CARDIA", "CARMES", "CARANO", "POSCALEN"}, "");
}

void printing() {
    declare("NESQ", 0);
    declare("NINIF", 0);
    declare("NLINE", 6);
    declare("NNROL", 60);
    declare("NROLINHAS", 60);
    declare("NRO_VIAS", 1);
    declare("VIAS_CAR", "1");
    declare("OPCIMP", 1);
    declare("QTD_IMPR", 0);
    declare("TEM_LASER", 0);
    for (int k = 0; k <= 4; ++k) {
        declare("STRING" + std::to_string(k), "");
        declare("SEQUA" + std::to_string(k), "");
    }
    declare("LIN72", "\x1b&l74P");
    declare_all({"NROIMPR", "NROLPT", "NROCOM"}, 1);
    declare_all({"LOCIMPR", "SAIDAPR", "NOMEIMP", "NOMEREDE"}, "");
    declare("ARQ_IMP", " ");
    declare("CAN_IMP", false);
    declare_all({"PRIM_ETI", "PRIM_DARF"}, true);
}

void mail_and_office() {
    declare("CEMAIL_ENV", rt::SPACE(41));
    declare("CASSUNTO", rt::SPACE(58));
    declare("CANEXO", rt::SPACE(40));
    declare("CENVPEND", "N");
    declare("CEDITEXT", "N");
    declare("CCORPO", "");
    declare("NOMCART", rt::SPACE(12));
    declare("CNOMEUSU", rt::SPACE(22));
    declare("CNOMERES", "");
    declare("NOMESAC", rt::SPACE(30));
    declare_all({"CPFSAC", "CPFEMAIL"}, rt::SPACE(11));
    declare("VAL_PARTE", 0);
}

void declaration() {
    declare("NOMECONTR", rt::SPACE(53));
    declare_all({"DECFINAL", "DECSAIDA"}, "N");
    declare_all({"DAY_TRADE", "ATV_BRASIL"}, " ");
    declare("NDESINI", 1);
    declare("NDESFIM", 99);
    declare("NRODIA", 31);
    declare("NOM_MES", "");
    declare_all({"ORIGEM", "DESTINO"}, rt::SPACE(80));
    declare_all({"LRECUPERA", "REFAZ_IND", "JA_CALC", "TONACAL"}, false);
    declare("CAL_AUTO", true);
    declare("CCONFERE", "A");
    declare("SO_MOS", 1);
    declare("LMUDOUPASTA", true);
    declare_all({"REND_REAL", "DEDU_REAL", "LCAX_REAL", "IMPO_REAL", "IMPDEV_REAL", "IMPAPAG", "IMPREC_REAL",
                 "VAL_JURO", "VAL_CORR", "VAL_RECEI", "VAL_CORRIG", "VAL_PAGAR", "VAL_TOTAL", "VAL_MULTA",
                 "VAL_TOTMUL"},
                0);
}

void menu_and_navigation() {
    declare_all({"OPCAO_1", "OPCAO_BK", "POSVER", "POSHOR", "ULTESC", "ULTPOS"}, 1);
    declare("ULTTECLA", 0);
    declare_all({"TECLAMUDA", "SEMHORA", "MOS_MENS", "TEMHLP"}, false);
    declare_all({"MENSMENU", "QUEMOSTRA", "OPCOES", "APELIDO", "POS", "M_ENT_EXIT"}, "");
    declare("QUALHLP", " ");
    declare("RESP", "N");
    declare_all({"PROG", "XTOT", "QLIN", "ALTUR", "LARG"}, 0);
    declare("NLIN", 1);
    declare("LCAL", 5);
    declare("CCAL", 40);
    declare("TELA", 6);
    declare("NPOSMENU", 1);
    declare("AAGEN", rt::Value::array());
    declare("NTEMAGEN", 0);
    declare("COR_PISCA", 15 + 128);
}

}  // namespace

void create_program_variables() {
    terminal_and_folders();
    settings();
    colours();
    windows();
    calendar();
    printing();
    mail_and_office();
    declaration();
    menu_and_navigation();
}

}  // namespace qv::shell::startup
