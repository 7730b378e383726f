#include "office/office_settings.hpp"

#include <algorithm>

#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "office/folder_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using rt::operator""_cp;

namespace {

constexpr int kDefineArea = 43;
const common::Global kTempSal("TEMP_SAL");
const common::Global kComoSal("COMO_SAL");

// The variables of the DEFINE record that the start-up has not made yet
// take the record's values.
rt::table::Table* define_record() {
    if (!tables::ws().table(kDefineArea) && !tables::ABERTURA(kDefineArea)) return nullptr;
    rt::table::Table* t = tables::ws().table(kDefineArea);
    t->go_top();
    return t->eof() ? nullptr : t;
}

}  // namespace

void load_define(std::initializer_list<const char*> names) {
    rt::table::Table* t = define_record();
    for (const char* name : names)
        if (!common::Global(name).exists()) common::Global(name).set(t ? t->get(name) : rt::Value(0));
}

int autosave_interval(int mode, int current) {
    switch (mode) {
        case 1: return current == 0 || current >= 99 ? 15 : current;
        case 2: return 0;
        default: return 99;
    }
}

bool write_define(std::initializer_list<const char*> names) {
    rt::table::Table* t = define_record();
    if (!t) return false;
    tables::ws().select(kDefineArea);
    if (!tables::REC_LOCK(5)) return false;
    for (const char* name : names) t->put(name, common::Global(name).value());
    t->commit();
    t->unlock();
    return true;
}

void open_grid(int code) { rt::call_routine("EDITA", {rt::Value(code)}); }

bool MENS_VAL(int field) {
    static const char* const help[] = {"Informe o valor a cobrar por minuto",
                                       "Informe o valor a cobrar por KByte de memória usada",
                                       "Informe o valor mínimo a cobrar.",
                                       "Informe o tempo sem teclar para desligar o relógio"};
    if (field >= 1 && field <= 4) common::MENS(0, rt::utf8_to_cp850(help[field - 1]));
    return true;
}

bool VAL_TEMP() { return kTempSal.number(0) >= 1; }

void VAL_DECL() {
    load_define({"VAL_SEG", "VAL_BYTE", "VAL_MIN", "TEMP_DES"});
    declaration::MTELA2(6);
    const char* names[] = {"VAL_SEG", "VAL_BYTE", "VAL_MIN", "TEMP_DES"};
    for (int i = 0; i < 4; ++i) {
        const std::string picture = i < 3 ? "@EZ 999,999.99" : "@ez 99";
        rt::at_get(9 + i, 42, std::string("M->") + names[i], picture).when([i] { return MENS_VAL(i + 1); });
    }
    rt::READ();
    common::FECHAJAN(6);
    common::MENS();
    write_define({"VAL_SEG", "VAL_BYTE", "VAL_MIN", "TEMP_DES"});
}

void TIP_GRAV() {
    load_define({"COMO_SAL", "TEMP_SAL", "TEMP_DES"});
    declaration::MTELA4(2);
    const int first = std::max(1, std::min(3, kComoSal.integer(2)));
    const int mode = common::ESC_ITEM(4, 3, 18, 1, first);
    if (mode != 0) kComoSal.set(rt::Value(mode));
    const int chosen = kComoSal.integer(2);
    kTempSal.set(rt::Value(autosave_interval(chosen, kTempSal.integer(0))));
    if (chosen == 1) {
        rt::at_say(18, 43, "Gravar a cada    minutos");
        rt::at_get(18, 57, "M->TEMP_SAL", "@z 99").valid([] { return VAL_TEMP(); });
        rt::READ();
        if (!VAL_TEMP()) kTempSal.set(rt::Value(15));
    }
    write_define({"COMO_SAL", "TEMP_SAL", "TEMP_DES"});
    common::FECHAJAN(4);
}

void MUDA_ESTATUS() {
    declaration::MTELA2(9);
    common::Global("OPCOES").set(rt::Value("ACI"));
    rt::Value texts = rt::Value::array();
    for (const char* t : {"Modifica na declaração o status e/ou nro dos Recibos",
                          "Cadastra ou altera a descrição do status", "Status da declaração Inalterável"})
        texts.as_array()->push_back(rt::Value(rt::utf8_to_cp850(t)));
    while (true) {
        common::Global("MENSMENU").set(texts);
        const int choice = common::ESC_OPCAO(5, 3, 3, 30, 1, 0, 1);
        if (choice == 0) break;
        if (choice == 1) {
            tables::ws().select(kRegister);
            open_grid(52);
        } else if (choice == 2) {
            tables::ABERTURA(66);
            open_grid(29);
        } else {
            load_define({"STATRAVA"});
            common::MensArgs args;
            args.name = "M->STATRAVA";
            args.picture = "@z 99";
            common::MENS(14, "Informe o status onde uma declaração passa ser inalteravel:"_cp, args);
            write_define({"STATRAVA"});
        }
    }
    tables::ws().close(66);
    common::FECHAJAN(5);
    common::MENS();
}

}  // namespace qv::office
