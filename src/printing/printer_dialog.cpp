#include "printing/printer_dialog.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "printing/print_target.hpp"
#include "printing/printer_record.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/achoice.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/printer_types.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

// A framed list in the middle of the screen; 0 on Esc. With help lines,
// the status line shows the one of the item the bar stands on.
int pick(int top, int left, const std::vector<std::string>& items, int initial = 1,
         const std::vector<std::string>& help = {}) {
    std::size_t width = 0;
    for (const auto& s : items) width = std::max(width, s.size());
    const int bottom = top + static_cast<int>(items.size()) + 1, right = left + static_cast<int>(width) + 3;
    const std::string saved = rt::SAVESCREEN(top, left, bottom, right);
    rt::DISPBOX(top, left, bottom, right, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ");
    rt::AchoiceFunction helped;
    if (!help.empty()) {
        helped = [&help](int mode, int current, int) {
            if (mode == rt::AC_IDLE) {
                common::MENS(0, help[static_cast<std::size_t>(current - 1) % help.size()]);
                return static_cast<int>(rt::AC_CONT);
            }
            if (mode != rt::AC_EXCEPT) return static_cast<int>(rt::AC_CONT);
            const int key = rt::LASTKEY();
            if (key == rt::key::ENTER) return static_cast<int>(rt::AC_SELECT);
            if (key == rt::key::ESC || key == rt::key::LEFT || key == rt::key::RIGHT) return static_cast<int>(rt::AC_ABORT);
            return static_cast<int>(rt::AC_GOTO);
        };
    }
    const int chosen = rt::ACHOICE(top + 1, left + 2, bottom - 1, right - 2, items, {}, helped, initial);
    rt::RESTSCREEN(top, left, bottom, right, saved);
    return chosen;
}

rt::table::Table* terminal_record() {
    if (!tables::ABERTURA(kPrinterArea)) return nullptr;
    rt::table::Table* t = tables::ws().table(kPrinterArea);
    if (t && !t->seek(rt::Value(Global{"NUSU"}.text("00")))) return nullptr;
    return t;
}

// The row of the printer types marked "S": the first one from the top, the
// others unmarked; the first row when none is.
std::optional<std::uint32_t> unique_mark(rt::table::Table& types) {
    std::optional<std::uint32_t> chosen;
    for (types.go_top(); !types.eof(); types.skip()) {
        if (rt::ALLTRIM(types.get("CONFIM").as_string()) != "S") continue;
        if (!chosen) {
            chosen = types.recno();
        } else if (types.rlock()) {
            types.put("CONFIM", rt::Value("N"));
            types.commit();
            types.unlock();
        }
    }
    if (!chosen && types.lastrec() > 0) {
        types.go_top();
        if (types.rlock()) {
            types.put("CONFIM", rt::Value("S"));
            types.commit();
            types.unlock();
        }
        chosen = types.recno();
    }
    return chosen;
}

// A catalogue that an earlier version left empty gets the shipped types.
void seed_printer_types(rt::table::Table& types) {
    for (types.go_top(); !types.eof(); types.skip())
        if (!types.deleted()) return;
    for (const tables::PrinterType& p : tables::shipped_printer_types()) {
        if (!tables::ADD_REC(5)) return;
        tables::put_printer_type(types, p);
        types.commit();
        types.unlock();
    }
}

// The printer type asked in its field; its check opens the grid of the
// printer types, where the clerk marks one. False on Esc.
bool ask_printer_type() {
    const std::string saved = rt::SAVESCREEN(8, 20, 10, 60);
    rt::DISPBOX(8, 20, 10, 60, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ");
    rt::at_say(9, 22, "Impressora: ");
    Global{"NOMEIMP"}.set(rt::Value(rt::PADR(Global{"NOMEIMP"}.text(), 15)));
    // Esc in the field leaves without its check; the grid ends with Esc.
    bool opened = false;
    rt::GetList gets;
    gets.emplace_back(9, 34, "M->NOMEIMP", "@!").valid([&opened] {
        tables::ws().select(kPrinterTypesArea);
        declaration::call_named("EDITA", {rt::Value(33)});
        opened = true;
        return true;
    });
    rt::READ(gets);
    rt::RESTSCREEN(8, 20, 10, 60, saved);
    Global{"NOMEIMP"}.set(rt::Value(rt::ALLTRIM(Global{"NOMEIMP"}.text())));
    return opened;
}

void printer_type() {
    if (!tables::ABERTURA(kPrinterTypesArea)) return;
    rt::table::Table* types = tables::ws().table(kPrinterTypesArea);
    if (!types) return;
    tables::ws().select(kPrinterTypesArea);
    seed_printer_types(*types);
    if (!ask_printer_type()) return;
    types = tables::ws().table(kPrinterTypesArea);
    if (!types) return;
    const auto row = unique_mark(*types);
    rt::table::Table* record = terminal_record();
    if (row && record && tables::REC_LOCK()) {
        types->go_to(*row);
        for (const char* f : {"NOMEIMP", "SEQ0", "SEQ1", "SEQ2", "SEQ3"}) record->put(f, types->get(f));
        record->commit();
        record->unlock();
        Global{"NOMEIMP"}.set(rt::Value(rt::ALLTRIM(types->get("NOMEIMP").as_string())));
    }
    Global{"TEM_LASER"}.set(rt::Value(0));
    CRIA_SEQ();
}

bool valid_location() {
    const std::string where = rt::ALLTRIM(Global{"LOCIMPR"}.text());
    if (where == "L" || where == "R") {
        rt::at_say(8, 38, where == "L" ? "no Local" : "na Rede ");
        return true;
    }
    common::AVISOSN("Digite R de Rede ou L de Local", 0);
    return false;
}

bool valid_parallel() {
    if (Global{"NROLPT"}.integer() > 0) Global{"NROCOM"}.set(rt::Value(0));
    return true;
}

bool valid_serial() {
    const int com = Global{"NROCOM"}.integer();
    if (com > 4) {
        common::AVISOSN("O maior número de porta serial possível é 4"_cp, 0);
        return false;
    }
    if (com > 0) Global{"NROLPT"}.set(rt::Value(0));
    return true;
}

void output_port() {
    rt::table::Table* record = terminal_record();
    const std::string saved = rt::SAVESCREEN(6, 10, 15, 70);
    rt::DISPBOX(6, 10, 15, 70, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ");
    Global{"SAIDAPR"}.set(rt::Value(rt::PADR(Global{"SAIDAPR"}.text(), 8)));
    Global{"LOCIMPR"}.set(rt::Value(rt::PADR(Global{"LOCIMPR"}.text("L"), 1)));
    for (;;) {
        rt::at_say(8, 12, "Impressora (L/R) ");
        rt::at_say(9, 12, "Porta paralela   ");
        rt::at_say(10, 12, "Porta serial     ");
        rt::at_say(11, 12, "Arquivo de saída "_cp);
        rt::at_say(13, 12, "Nome da Impressora Padrão: "_cp);
        rt::at_say(13, 40, rt::PADR(rt::SUBSTR(Global{"NOMEREDE"}.text(), 1, 26), 26));
        rt::GetList gets;
        gets.emplace_back(8, 30, "M->LOCIMPR", "@!").valid([] { return valid_location(); });
        gets.emplace_back(9, 30, "M->NROLPT", "@z 9").valid([] { return valid_parallel(); });
        gets.emplace_back(10, 30, "M->NROCOM", "@z 9").valid([] { return valid_serial(); });
        gets.emplace_back(11, 30, "M->SAIDAPR")
            .when([] { return Global{"NROLPT"}.integer() == 0 && Global{"NROCOM"}.integer() == 0; })
            .valid([] {
                if (valid_output_file_name(Global{"SAIDAPR"}.text())) return true;
                common::AVISOSN("Informe só o nome do arquivo: ele fica na pasta de trabalho"_cp, 0);
                return false;
            });
        rt::READ(gets);
        if (rt::LASTKEY() == rt::key::ESC) break;
    }
    rt::RESTSCREEN(6, 10, 15, 70, saved);
    if (!record || !tables::REC_LOCK()) return;
    for (const char* f : {"LOCIMPR", "NROLPT", "NROCOM", "SAIDAPR", "NOMEREDE"}) record->put(f, Global{f}.value());
    record->commit();
    record->unlock();
}

int ask_month(int row, const std::string& prompt, int first) {
    Global{"MES_ASK"}.set(rt::Value(first));
    for (;;) {
        rt::at_say(row, 20, prompt);
        rt::GetList gets;
        gets.emplace_back(row, 20 + static_cast<int>(prompt.size()), "M->MES_ASK", "99");
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) return 0;
        const int m = Global{"MES_ASK"}.integer();
        if (m >= first && m <= 12) return m;
    }
}

bool yes(const std::string& question) { return common::AVISOSN(question, 2).as_string() == "S"; }

}  // namespace

void CONFIMP() {
    const std::vector<std::string> items{"Impressora", "Porta de saída"_cp};
    const std::vector<std::string> help{"Informa ou modifica o nome e tipo da impressora",
                                        "Informa ou modifica a porta de comunicação da impressora"_cp};
    for (int chosen = 1;;) {
        chosen = pick(5, 30, items, chosen, help);
        common::MENS();
        if (chosen == 0) return;
        if (chosen == 1) printer_type();
        else output_port();
    }
}

bool ESCOLHE_COMO(int kind) {
    Global{"MES_INIC"}.set(rt::Value(1));
    Global{"MES_FINAL"}.set(rt::Value(12));
    const Device before = device();
    set_device(Device::Screen);
    const std::string saved = rt::SAVESCREEN();
    const int how = pick(8, 25, {"Todos os meses", "Somente o Mês "_cp, "Faixa de meses"});
    int first = 1, last = 12;
    if (how == 2) {
        first = last = ask_month(14, "Qual o mês ? "_cp, 1);
    } else if (how == 3) {
        first = ask_month(14, "Do mês  "_cp, 1);
        last = first ? ask_month(15, "Até o mês "_cp, first) : 0;
    }
    rt::RESTSCREEN(saved);
    if (how == 0 || first == 0 || last == 0) {
        set_device(before);
        return false;
    }
    Global{"MES_INIC"}.set(rt::Value(first));
    Global{"MES_FINAL"}.set(rt::Value(last));
    Global{"AVANCA_PAG"}.set(rt::Value(first == last ? "S" : (yes("Avança página em cada mês ?"_cp) ? "S" : "N")));
    Global{"CALC_SALD"}.set(rt::Value(first == 1 ? "N" : (yes("Calcula e Imprime saldo anterior ?") ? "S" : "N")));
    if (kind == 2) Global{"IMPR_RESU"}.set(rt::Value(yes("Deseja imprimir o Resumo de Todos os meses?") ? "S" : "N"));
    set_device(before);
    return true;
}

}  // namespace qv::printing
