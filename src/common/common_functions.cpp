#include "common/common_functions.hpp"

#include <mutex>
#include <span>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/calendar_names.hpp"
#include "common/colours.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/help.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/paths.hpp"
#include "common/taxpayer_name.hpp"
#include "common/system_helpers.hpp"
#include "common/text_helpers.hpp"
#include "common/times.hpp"
#include "common/windows.hpp"
#include "runtime/core/functions.hpp"

namespace qv::common {

namespace {

using Args = std::span<const rt::Value>;
const rt::Value kNil;

const rt::Value& arg(Args a, std::size_t i) { return i < a.size() ? a[i] : kNil; }
std::string text(Args a, std::size_t i) { return arg(a, i).as_string(); }
int num(Args a, std::size_t i, int fallback = 0) { return static_cast<int>(number_of(arg(a, i), fallback)); }
bool flag(Args a, std::size_t i) { return arg(a, i).as_bool(); }

rt::Value nothing() { return {}; }

void register_documents() {
    rt::register_function("VAL_CPF", [](Args a) {
        // The ask-name flag only counts when all five arguments are given.
        return rt::Value(VAL_CPF(text(a, 0), flag(a, 1), a.size() >= 5 ? num(a, 4) : 0));
    });
    rt::register_function("VAL_CGC", [](Args a) { return rt::Value(VAL_CGC(text(a, 0), flag(a, 1))); });
    rt::register_function("VAL_NIT", [](Args a) { return rt::Value(VAL_NIT(text(a, 0))); });
    rt::register_function("CPFCGC", [](Args a) { return rt::Value(CPFCGC(text(a, 0), flag(a, 1))); });
    rt::register_function("MODULO_11", [](Args a) { return rt::Value(MODULO_11(text(a, 0))); });
    rt::register_function("TIRA_PONTO", [](Args a) { return rt::Value(TIRA_PONTO(text(a, 0))); });
    rt::register_function("POEPONTO", [](Args a) { return rt::Value(POEPONTO(text(a, 0), num(a, 1))); });
    rt::register_function("CONTAPONTO", [](Args a) { return rt::Value(CONTAPONTO(text(a, 0))); });
}

void register_values() {
    rt::register_function("DESPREZA", [](Args a) {
        return rt::Value(DESPREZA(arg(a, 0).as_number(), num(a, 1, 15), a.size() >= 3 ? num(a, 2) : 2,
                                  a.size() >= 4 ? num(a, 3) : 0));
    });
    rt::register_function("CAR_TO_VAL", [](Args a) { return rt::Value(CAR_TO_VAL(text(a, 0))); });
    rt::register_function("TRAZ_MES", [](Args a) { return rt::Value(TRAZ_MES(num(a, 0))); });
    rt::register_function("DIA_SEMANA", [](Args a) { return rt::Value(DIA_SEMANA(arg(a, 0).as_date())); });
    rt::register_function("HORA_SEG", [](Args a) { return rt::Value(HORA_SEG(text(a, 0))); });
    rt::register_function("SEG_HORA", [](Args a) { return rt::Value(SEG_HORA(num(a, 0))); });
    rt::register_function("SEG_HOR_2", [](Args a) { return rt::Value(SEG_HOR_2(num(a, 0))); });
    rt::register_function("TEMPO_PAS", [](Args a) { return TEMPO_PAS(text(a, 0), text(a, 1), num(a, 2)); });
    rt::register_function("AJUS_CAR", [](Args a) { return rt::Value(AJUS_CAR(text(a, 0), num(a, 1, 1))); });
    rt::register_function("CENTER", [](Args a) { return rt::Value(CENTER(text(a, 0), num(a, 1, 80))); });
}

void register_paths() {
    rt::register_function("BAR_DIR", [](Args a) { return rt::Value(BAR_DIR(text(a, 0))); });
    rt::register_function("BAR_FORA", [](Args a) { return rt::Value(BAR_FORA(text(a, 0))); });
    rt::register_function("TIRA_DIR", [](Args a) { return rt::Value(TIRA_DIR(text(a, 0))); });
    rt::register_function("VERDIR", [](Args a) { return rt::Value(VERDIR(text(a, 0))); });
    rt::register_function("CONFER_DIR", [](Args a) { return rt::Value(CONFER_DIR(text(a, 0))); });
    rt::register_function("ESPCIF", [](Args a) { return rt::Value(ESPCIF(text(a, 0))); });
}

void register_windows() {
    rt::register_function("ACHACOR", [](Args a) { return rt::Value(ACHACOR(num(a, 0))); });
    rt::register_function("REP", [](Args a) { return rt::Value(REP(num(a, 0))); });
    rt::register_function("XREP", [](Args a) { return rt::Value(XREP(text(a, 0))); });
    const auto define = [](Args a) {
        REDEFJAN(num(a, 0), num(a, 1), num(a, 2), num(a, 3), num(a, 4), num(a, 5), num(a, 6), num(a, 7), num(a, 8));
        return nothing();
    };
    rt::register_function("REDEFJAN", define);
    rt::register_function("DEFINEJAN", define);
    rt::register_function("REDFATR", [](Args a) { REDFATR(num(a, 0), num(a, 1), num(a, 2)); return nothing(); });
    rt::register_function("ABREJAN", [](Args a) { ABREJAN(num(a, 0), flag(a, 1)); return nothing(); });
    rt::register_function("FECHAJAN", [](Args a) { FECHAJAN(num(a, 0)); return nothing(); });
    rt::register_function("ESCRJAN", [](Args a) { ESCRJAN(num(a, 0), text(a, 1)); return nothing(); });
    rt::register_function("ESCRLCOL", [](Args a) {
        ESCRLCOL(num(a, 0), num(a, 1), num(a, 2), text(a, 3));
        return nothing();
    });
    rt::register_function("ESCRATR", [](Args a) {
        ESCRATR(num(a, 0), num(a, 1), num(a, 2), num(a, 3), num(a, 4));
        return nothing();
    });
    rt::register_function("MOVEVER", [](Args a) { MOVEVER(num(a, 0), num(a, 1)); return nothing(); });
    rt::register_function("MOVEHOR", [](Args a) { MOVEHOR(num(a, 0), num(a, 1)); return nothing(); });
    rt::register_function("ENCHETELA", [](Args a) { ENCHETELA(text(a, 0), text(a, 1)); return nothing(); });
}

void register_dialogues() {
    rt::register_function("NDA", [](Args) { return rt::Value(NDA()); });
    rt::register_function("MENS", [](Args a) {
        if (a.empty()) return MENS();
        MensArgs m;
        if (arg(a, 2).is_number()) m.row = num(a, 2);
        m.col = arg(a, 3);
        if (arg(a, 4).is_number()) m.lines = num(a, 4);
        m.name = text(a, 5);
        m.width = num(a, 6);
        if (arg(a, 7).is_string()) m.picture = text(a, 7);
        if (arg(a, 8).is_string()) m.valid = text(a, 8);
        if (arg(a, 9).is_number()) m.window = num(a, 9);
        return MENS(num(a, 0), text(a, 1), m);
    });
    rt::register_function("AVISOSN", [](Args a) { return AVISOSN(arg(a, 0), num(a, 1)); });
    rt::register_function("AVISO", [](Args a) {
        AVISO(text(a, 0), num(a, 1, 24), num(a, 2));
        return nothing();
    });
    rt::register_function("BEEP_ERRO", [](Args a) { BEEP_ERRO(a.empty() ? 1 : num(a, 0)); return nothing(); });
    rt::register_function("ESC_OPCAO", [](Args a) {
        return rt::Value(ESC_OPCAO(num(a, 0), num(a, 1), num(a, 2), num(a, 3), num(a, 4), num(a, 5), num(a, 6)));
    });
    rt::register_function("ESC_ITEM", [](Args a) {
        return rt::Value(ESC_ITEM(num(a, 0), num(a, 1), num(a, 2), num(a, 3), num(a, 4, 1)));
    });
    rt::register_function("TXT_HELP", [](Args a) { TXT_HELP(text(a, 0), num(a, 1, 1)); return nothing(); });
    rt::register_function("MOSTRA_HELP", [](Args a) { MOSTRA_HELP(num(a, 0), num(a, 1, 1)); return nothing(); });
    rt::register_function("MOS_HELP", [](Args) { MOS_HELP(); return nothing(); });
    rt::register_function("VER_NOME", [](Args) { return rt::Value(VER_NOME()); });
}

}  // namespace

void register_common_functions() {
    register_documents();
    register_values();
    register_paths();
    register_windows();
    register_dialogues();
    register_system_helpers();
}

void ensure_common_functions() {
    static std::once_flag once;
    std::call_once(once, register_common_functions);
}

}  // namespace qv::common
