#include "declaration/calc/model_choice.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kSummaryPage = 7;

std::string answer_of(std::string_view a) { return rt::UPPER(rt::ALLTRIM(a)); }

bool says_yes(const std::vector<std::string>& question) { return common::AVISOSN(question, 2).as_string() == "S"; }

void refuse_yes_no() { common::AVISOSN("Informe com S (sim) ou N (não) !"_cp); }

// The simplified model is in force: the page ends and is drawn again with
// the new figures.
void enter_simplified_page(bool fill_screen) {
    set_value("USAPADRAO", rt::Value("S"));
    FI13_20(3);
    rt::read_kill(true);
    if (fill_screen) {
        // Under the screen index, which stays for the page drawn again.
        const std::string fill = common::Global{"COR_ENCHE"}.text();
        rt::DISPBOX(1, 0, rt::MAXROW(), rt::MAXCOL(), std::string(9, ' '),
                    rt::parse_colour(fill.empty() ? "W/N" : fill));
    }
    call_if_present("MTELA", {rt::Value(kSummaryPage)});
    CALC(7, 1);
    call_if_present("GTELA", {rt::Value(kSummaryPage)});
}

}  // namespace

bool CONF_PADR() {
    const std::string choice = answer_of(text("USAPADRAO"));
    if (choice.empty()) {
        enter_simplified_page(false);
        return true;
    }
    if (choice == "N") return FI13_20(3);
    if (choice != "S") {
        refuse_yes_no();
        return false;
    }
    if (amount("I4R_03") < 0.0 &&
        !says_yes({"Atenção! Esse contribuinte esta com prejuízo na Atividade Rural"_cp,
                   "ao optar pela declaração simplificada ele NÃO poderá compensar"_cp,
                   "esse prejuízo no próximo ano. Muda mesmo assim para o simples?"_cp})) {
        set_value("USAPADRAO", rt::Value("N"));
        return false;
    }
    // Keeping the previous loss means staying in the complete model.
    if (!PREJ_RUR()) return false;
    enter_simplified_page(true);
    return true;
}

bool PREJ_RUR() {
    if (amount("I4R_04") <= 0.0) return true;
    if (!says_yes({"Atenção! Esse contribuinte esta compensando prejuízo na Atividade Rural"_cp,
                   "e não pode optar pela declaração simplificada se desejar compensar."_cp,
                   "Se mudar para simplificada o programa ira zerar o prejuízo anterior"_cp,
                   "  Muda mesmo assim para o simples?"_cp})) {
        set_value("USAPADRAO", rt::Value("N"));
        return false;
    }
    set_amount("I4R_04", 0.0);
    call_if_present("FI4R_05", {rt::Value(0)});
    call_if_present("FI4R_06", {rt::Value(0)});
    call_if_present("FI4R_07");
    call_if_present("FI5_08");
    call_if_present("FI6_10", {rt::Value(0)});
    call_if_present("CALC_PREJU");
    return true;
}

bool MUDA() {
    if (is("DECFINAL", 'S')) {
        common::AVISOSN("A declaração final de espólio só pode ser uma completa"_cp);
        return false;
    }
    if (is("DECSAIDA", 'S')) {
        common::AVISOSN("A declaração de saida só pode ser uma completa"_cp);
        return false;
    }
    set_value("USAPADRAO", rt::Value(is("USAPADRAO", 'N') ? "S" : "N"));
    rt::read_kill(true);
    CONF_PADR();
    call_if_present("MTELA", {rt::Value(kSummaryPage)});
    set_value("TROCOU", rt::Value(true));
    return true;
}

bool VIRA_COMP(std::string_view cAnswer) {
    const std::string a = answer_of(cAnswer);
    if (a == "S") return MUDA();
    if (a == "N") return true;
    refuse_yes_no();
    return false;
}

bool FAZCONF(std::string_view cAnswer) {
    const std::string a = answer_of(cAnswer);
    if (a == "S") {
        call_if_present("CONFERE", {rt::Value(2)});
    } else if (a == "A") {
        common::AVISOSN("A declaração passa ser conferida automaticamente ao passar nessa tela"_cp);
    } else if (a != "N") {
        common::AVISOSN(std::vector<std::string>{"Informe com 'S'(Sim) ou 'N'(Não) ou 'A'(Automático)"_cp,
                                                 "para verificar pendências e conferir a declaração.   "_cp});
    }
    return true;
}

}  // namespace qv::declaration
