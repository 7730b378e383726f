// Id 14: the agenda choice box and the agenda lists it filters.
#include <string>

#include "common/avisosn.hpp"
#include "common/frame_boxes.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/core/functions.hpp"
#include "shell/main_program.hpp"
#include "shell/menu_features.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kAgendaArea = 72;
constexpr int kBoxWindow = 5;
const common::Global kNomeag("NOMEAG");
const common::Global kDatcalen("DATCALEN");
const common::Global kOpagen("OPAGEN");

void draw_box() { common::paint_dialog_frame(10); }

std::string calendar_day() {
    const rt::Date d = kDatcalen.value().is_date() ? kDatcalen.value().as_date() : rt::DATE();
    return rt::STRZERO(rt::DAY(d), 2) + "/" + rt::STRZERO(rt::MONTH(d), 2) + "/" + rt::STRZERO(rt::YEAR(d), 4);
}

rt::Date calendar_date() { return kDatcalen.value().is_date() ? kDatcalen.value().as_date() : rt::DATE(); }

bool users_record(rt::table::Table& t) {
    return rt::TRIM(t.get("NOMEAG").as_string()) == rt::TRIM(kNomeag.text());
}

// A failure of the agenda's table, said in a box: the status line is the
// choice box's own and would hide it at once.
void report(const std::string& text) { common::AVISOSN(text, 0); }


// F1 and F2 work in the lists of the calendar's day: the hint of those keys
// stands under such a list while it is open, and goes with it.
class DayListHint {
public:
    explicit DayListHint(bool shown) : shown_(shown) {
        if (!shown_) return;
        under_ = rt::SAVESCREEN(kHintRow, 0, kHintRow, 79);
        common::AVISO("F1 - mostra calendario  F2 - busca aniversariantes do mes ", kHintRow, 0);
    }
    ~DayListHint() {
        if (shown_) rt::RESTSCREEN(kHintRow, 0, kHintRow, 79, under_);
    }
    DayListHint(const DayListHint&) = delete;
    DayListHint& operator=(const DayListHint&) = delete;

private:
    static constexpr int kHintRow = 23;
    bool shown_;
    std::string under_;
};

void show_list(int grid, bool only_today) {
    rt::table::Table* agenda = tables::ws().table(kAgendaArea);
    if (!agenda) {
        report(agenda_failure());
        return;
    }
    tables::ws().select(kAgendaArea);
    const rt::Date day = calendar_date();
    try {
        agenda->set_filter([agenda, day, only_today] {
            return users_record(*agenda) && (!only_today || agenda->get("DATAG").as_date() == day);
        });
        agenda->go_top();
        const DayListHint hint(grid != 50);
        rt::call_routine("EDITA", {rt::Value(grid)});
    } catch (const rt::table::TableError&) {
        report("ATENÇAO! A agenda não pôde ser lida."_cp);
    }
    agenda->clear_filter();
}

void choose_user() {
    common::Global("NOMEAG").set(rt::Value(rt::PADR(kNomeag.text(), 22)));
    common::MensArgs args;
    args.name = "M->NOMEAG";
    args.picture = "@!";
    common::MENS(14, "Informe o nome do Usuario", args);
    if (rt::ALLTRIM(kNomeag.text()).empty())
        kNomeag.set(rt::Value("USUARIO DO TERMINAL " + tables::terminal()));
}

// False when the user answered no (the agenda is then left).
bool delete_old() {
    const std::string question = "Exclui compromissos anteriores ao dia " + calendar_day() + "?";
    if (common::AVISOSN(question, 2).as_string() != "S") return false;
    rt::table::Table* agenda = tables::ws().table(kAgendaArea);
    if (!agenda) {
        report(agenda_failure());
        return true;
    }
    tables::ws().select(kAgendaArea);
    const rt::Date day = calendar_date();
    agenda->set_filter([agenda] { return users_record(*agenda); });
    int count = 0;
    if (!tables::FIL_LOCK(0)) {
        agenda->clear_filter();
        report("ATENÇAO! Agenda em uso em outro terminal: nenhum compromisso foi excluído."_cp);
        return true;
    }
    try {
        for (agenda->go_top(); !agenda->eof(); agenda->skip(1)) {
            if (agenda->deleted() || !(agenda->get("DATAG").as_date() < day)) continue;
            agenda->delete_record();
            ++count;
        }
        agenda->commit();
    } catch (const rt::table::TableError&) {
        agenda->unlock();
        agenda->clear_filter();
        report("ATENÇAO! A agenda não pôde ser gravada."_cp);
        return true;
    }
    agenda->unlock();
    agenda->clear_filter();
    if (count == 0) {
        common::AVISOSN("Sem compromissos anteriores a essa data");
    } else {
        const std::string p = count == 1 ? "" : "S";
        common::AVISOSN("Excluido" + p + " " + rt::STR(count, 3) + " compromisso" + p);
    }
    return true;
}

void leave() {
    common::FECHAJAN(kBoxWindow);
    if (rt::table::Table* agenda = tables::ws().table(kAgendaArea)) {
        tables::ws().select(kAgendaArea);
        agenda->go_top();
        common::Global("AAGEN").set(rt::Value::array());
        common::Global("NTEMAGEN").set(rt::Value(ENCHEAG()));
    }
    tables::ws().close(kAgendaArea);
}

void agenda_loop() {
    common::Global("LDIRETO").set(rt::Value(false));
    kOpagen.set(rt::Value(1));
    if (!tables::ABERTURA(kAgendaArea)) {
        report(agenda_failure());
        return;
    }
    for (;;) {
        draw_box();
        common::Global("OPCOES").set(rt::Value("MAELX"));
        rt::Value messages = rt::Value::array();
        for (const char* m : {"Lanca apenas um evento para o dia sem necessidade da hora",
                              "Anota o dia e hora do compromisso", "Seleciona quem pertence a agenda",
                              "Visualiza todos os compromissos",
                              "Exclui os compromissos anteriores a data do calendario"})
            messages.as_array()->push_back(rt::Value(m));
        common::Global("MENSMENU").set(messages);
        common::Global("POSVER").set(rt::Value(kOpagen.integer(1)));
        const int choice = common::ESC_OPCAO(kBoxWindow, 5, 1, 20, 0, 0, 1);
        if (choice != 0) kOpagen.set(rt::Value(choice));
        switch (choice) {
            case 0: leave(); return;
            case 1: show_list(48, true); break;
            case 2: show_list(49, true); break;
            case 3: choose_user(); break;
            case 4: show_list(50, false); break;
            case 5:
                if (!delete_old()) {
                    leave();
                    return;
                }
                break;
            default: break;
        }
        common::FECHAJAN(kBoxWindow);
    }
}

}  // namespace

std::string agenda_failure() {
    const std::string why = tables::open_failure_text();
    return why.empty() ? "ATENÇAO! A agenda não pôde ser aberta."_cp : "ATENÇAO! "_cp + why;
}

void agenda_menu() { agenda_loop(); }

}  // namespace qv::shell
