#include "declaration/loop/declaration_load.hpp"

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/loop/declaration_defaults.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/monthly_matrices.hpp"
#include "declaration/loop/recovery_state.hpp"
#include "declaration/loop/work_copy_refill.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/ui/read.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr int kRecoveryRegisterArea = 29;
constexpr int kRecoveryDeclarationArea = 11;
constexpr int kMonthlyArea = 32;
constexpr int kRuralSummaryArea = 35;
constexpr int kProgressWindow = 3;

const common::Global kLrecupera("LRECUPERA");
const common::Global kOpcao1("OPCAO_1");

// The print item of the declaration menu: its whole-declaration documents
// load the taxpayer only to read it.
constexpr int kPrintingId = 51;

// Loads only to send (one taxpayer, the marked ones, all) or to print: the
// register the caller stands on stays open, read at its row; a walk over
// the folder would otherwise open it twice for every taxpayer.
bool loads_from_open_register(int id) { return id == 63 || id == 64 || id == 65 || id == kPrintingId; }
// The spouse's values are fetched anew (with their questions) only when
// the declaration is opened from the prompt; a load to send or to print
// takes them as stored.
bool fetches_spouse_values(int id) { return id < 61 && id != kPrintingId; }
// The declaration is opened to be edited and saved, not only read (the
// check, the printouts, the transfers to the tax program).
bool opened_for_editing(int id) { return id < 61 && id != 13 && id != 51; }

bool& refused() {
    static bool flag = false;
    return flag;
}

// The taxpayer becomes this terminal's while its declaration is open. When
// another terminal has it, the box says which and waits; it goes by itself
// once the taxpayer is free. False when the user gives up or the mark
// cannot be had (said).
bool take_taxpayer(const std::string& cpf) {
    const std::string folder = tables::client_folder();
    tables::MarkClaim claim = tables::take_editing_mark(folder, cpf);
    while (claim.outcome == tables::MarkOutcome::HeldElsewhere) {
        const std::string other = claim.terminal;
        const std::vector<std::string> lines{tables::taxpayer_in_use_text(cpf, other),
                                             "Aguardando o terminal "_cp + other + " fechar a declaração..."_cp};
        common::wait_alert(lines, {"Desiste"}, [&] {
            claim = tables::take_editing_mark(folder, cpf);
            return claim.outcome != tables::MarkOutcome::HeldElsewhere || claim.terminal != other;
        });
        if (claim.outcome == tables::MarkOutcome::HeldElsewhere && claim.terminal == other) {
            refused() = true;
            return false;
        }
    }
    if (claim.outcome == tables::MarkOutcome::Unavailable) {
        common::AVISOSN(claim.problem, 0);
        return false;
    }
    return true;
}

// The register's work copy names the taxpayer a recovery reopens, so it is
// written under another name and takes its own only once every other copy
// is complete: a load cut short leaves nothing to recover.
std::string pending_register_copy() { return work_file(kRegisterTable) + "~"; }

// A taxpayer registered in this session has no register row yet (the save
// makes it): its copy gets one with the CPF, so that a recovery knows whose
// copies these are.
void name_new_taxpayer(const std::string& cpf) {
    rt::table::OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    auto& ws = tables::ws();
    const int area = work_area(kRegisterTable);
    ws.close(area);
    rt::table::Table& copy = ws.use_in(area, pending_register_copy() + ".dbf", opt);
    copy.append_blank();
    copy.put("CPF", rt::Value(cpf));
    copy.commit();
    ws.close(area);
}

void copy_register_rows(int id, const std::string& cpf) {
    const std::string key = taxpayer_key(kRegisterTable, cpf, "");
    if (loads_from_open_register(id) && tables::ws().table(kRegisterTable)) {
        copy_taxpayer_rows(kRegisterTable, kRegisterTable, key, pending_register_copy());
        return;
    }
    open_waiting(kRegisterTable, false, kLoadWait);
    tables::ws().current(kRegisterTable).seek(rt::Value(key));
    const long rows = copy_taxpayer_rows(kRegisterTable, kRegisterTable, key, pending_register_copy());
    tables::ws().close(kRegisterTable);
    if (rows == 0) name_new_taxpayer(key);
}

bool complete_register_copy() {
    const std::string pending = rt::table::resolve_path(pending_register_copy() + ".dbf");
    const std::string done = rt::table::resolve_path(work_file(kRegisterTable) + ".dbf");
    if (std::rename(pending.c_str(), done.c_str()) != 0) return false;
    if (!open_work_copy(kRegisterTable)) return false;
    tables::MOSTRADOR(1, 1);
    return true;
}

void copy_table_rows(int table, const std::string& cpf) {
    const std::string key = taxpayer_key(table, cpf, variable_text("ATV_BRASIL"));
    open_waiting(table, true, kLoadWait);
    tables::ws().current(table).seek(rt::Value(key));
    copy_taxpayer_rows(table, table, key);
    tables::ws().close(table);
}

// Step 2 and 3: the register and declaration records into variables.
bool load_records(bool recovery, int id, int existing, const std::string& cpf) {
    auto& ws = tables::ws();
    int declaration_area = kDeclarationTable;
    if (!recovery) {
        if (ws.table(kRegisterTable)) record_to_variables(kRegisterTable);
        if (!loads_from_open_register(id)) ws.close(kRegisterTable);
        open_waiting(kDeclarationTable, true, kLoadWait);
        ws.current(kDeclarationTable).seek(rt::Value(rt::PADR(cpf, 11)));
    } else {
        if (!tables::ABREARQ(kRecoveryRegisterArea, true, work_file(kRegisterTable))) return false;
        record_to_variables(kRecoveryRegisterArea);
        ws.close(kRecoveryRegisterArea);
        if (!tables::ABREARQ(kRecoveryDeclarationArea, true, work_file(kDeclarationTable))) return false;
        declaration_area = kRecoveryDeclarationArea;
        // A taxpayer registered in the interrupted session and never saved
        // has no declaration record yet: it starts as a new one does.
        if (ws.current(declaration_area).eof()) existing = 0;
    }
    if (existing != 0) {
        common::ESCRLCOL(kProgressWindow, 5, 2, "Reprocessando os dados...");
        record_to_variables(declaration_area);
    } else {
        common::ESCRLCOL(kProgressWindow, 5, 2, "Criando os dados...");
        // Nothing of the taxpayer edited before stays: the blank record's
        // fields first (the estate, the departure, every line), then the new
        // declaration's own values.
        if (ws.current(declaration_area).eof()) record_to_variables(declaration_area);
        LIMPVAR();
    }
    ws.close(declaration_area);
    return true;
}

// The terminal's work copies of an earlier session go before a new load: a
// load cut short must leave nothing that a recovery could take for the
// copies of one taxpayer (the register copy names the taxpayer).
void remove_work_copies() {
    // The register's copy goes first: without it nothing is recovered.
    for (int table : {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20}) {
        tables::ws().close(work_area(table));
        for (const char* ext : {".dbf", ".cdx"}) {
            std::error_code ec;
            std::filesystem::remove(rt::table::resolve_path(work_file(table) + ext), ec);
        }
    }
}

bool load_work_copies(bool recovery, int id, const std::string& cpf, FolderRows& rows) {
    if (!recovery && (walking_transfer(id) || reopen_kept_copies())) {
        if (refill_work_copies(id, cpf, rows)) return true;
        rows = FolderRows(cpf, opened_for_editing(id));   // copied again below: what was gathered may be older
    }
    if (!recovery) remove_work_copies();
    for (int table = 1; table <= 20; ++table) {
        if (table == kEntriesTable) continue;
        if (!recovery) {
            tables::ws().close(work_area(table));
            if (table == kRegisterTable) {
                copy_register_rows(id, cpf);
                continue;
            }
            copy_table_rows(table, cpf);
        }
        if (!open_work_copy(table)) return false;
        tables::MOSTRADOR(1, 1);
    }
    return recovery || complete_register_copy();
}

// Step 5 and 6: the monthly record and the sheet of monthly income.
void load_monthly_values() {
    record_to_variables(kMonthlyArea);
    auto& monthly = tables::ws().current(kMonthlyArea);
    for (int month = 1; month <= 12; ++month) {
        for (int x = 1; x <= 7; ++x) {
            const double amount = monthly.get("I2_" + std::to_string(x) + rt::STRZERO(month, 2)).as_number();
            set_matrix_cell("REC_MENSAL", month, x + 1, rt::Value(matrix_text(amount, kRecMensalPicture)));
        }
        tables::MOSTRADOR(1, 1);
    }
    auto& declaration = tables::ws().current(work_area(kDeclarationTable));
    const int cal_auto = static_cast<int>(variable_number("CAL_AUTO"));
    for (int x = 1; x <= 10; ++x) {
        if (x > 1 && x < 7 && (cal_auto == 2 || cal_auto == 4))
            call_named("FX_RT", {rt::Value("REC_MENSAL"), rt::Value(1), rt::Value(x)});
        set_variable("I3_" + rt::STRZERO(x, 2), declaration.get("I3_" + rt::STRZERO(x, 2)));
        if (x < 8) set_variable("I4_" + rt::STRZERO(x, 2), declaration.get("I4_" + rt::STRZERO(x, 2)));
    }
    for (int x = 11; x <= 13; ++x) set_variable("I3_" + rt::STRZERO(x, 2), declaration.get("I3_" + rt::STRZERO(x, 2)));
}

// A reference table (SELIC rates, the auxiliary lists) open since an
// earlier declaration is taken as it is, put back as an opening leaves it:
// reopening it for every declaration of a walk costs more than the load.
void open_reference_table(int code) {
    rt::table::Table* t = tables::ws().table(code);
    if (t == nullptr) {
        tables::ABERTURA(code);
        return;
    }
    t->clear_filter();
    if (t->order_count() > 0) t->set_order(1);
    t->go_top();
}

// Step 8: the lists at their tops and the totals the pages show.
void prepare_lists() {
    auto& ws = tables::ws();
    for (int area : {24, 22, 27})
        if (auto* t = ws.table(area)) t->go_top();
    set_variable("DAY_TRADE", rt::Value("1"));
    call_named("CALC_GRV");
    call_named("SOMA_NTRIB");
    if (auto* t = ws.table(27)) t->go_top();
    set_variable("PONTEIRO", rt::Value(1));
    call_named("BALANCO");
    open_reference_table(53);
    open_reference_table(52);
    common::FECHAJAN(10);
}

// The register row read at the CPF prompt may be older than the mark just
// taken (another terminal may have saved the taxpayer meanwhile, or waited
// for here): it is read again, and a taxpayer registered meanwhile is no
// longer new.
void read_register_again(const std::string& cpf, int& existing) {
    rt::table::Table* reg = tables::ws().table(kRegisterTable);
    if (!reg) return;
    reg->set_order(1);
    if (reg->seek(rt::Value(cpf)) && existing == 0) existing = 1;
}

// The copies a crash left are older than the folder's rows when another
// terminal saved or wrote the taxpayer since: saving them would put the
// older rows back. They are used only when the user says so.
bool recovery_agreed(const std::string& cpf) {
    std::optional<RecoveryState> state = recovery_state();
    // copies an earlier version of the program left: reopened as ever
    if (!state || state->cpf != cpf || !state->editing) return true;
    const std::string now = folder_contents(cpf);
    if (!state->contents.empty() && now == state->contents) return true;
    const std::vector<std::string> lines{
        "O contribuinte " + rt::TRANSFORM(rt::Value(cpf), "@R 999.999.999-99") + " foi gravado na pasta",
        "depois da última gravação deste terminal. Recuperar a cópia"_cp,
        "deste terminal substitui o que foi gravado depois."_cp, "Recupera assim mesmo?"};
    if (common::AVISOSN(lines, 2).as_string() != "S") return false;
    state->contents = now;
    keep_recovery_state(*state);
    return true;
}

// The load of the declaration for the menu id `id`; `show_taxpayer` draws
// the taxpayer's window first (the printing has its own progress window).
bool load_declaration(int id, int existing, bool show_taxpayer) {
    set_variable("INI_DECLA", rt::Value(static_cast<double>(static_cast<long>(rt::SECONDS()))));
    set_variable("SEM_SALV", rt::Value(rt::TIME()));
    tables::set_show_messages(false);
    blank_rec_mensal();
    if (show_taxpayer) call_named("MOSTR_PAG", {rt::Value(existing)});
    const std::string cpf = rt::PADR(variable_text("CPF"), 11);
    // A print reads the folder's rows, whatever a recovery left switched on.
    const bool recovery = id != kPrintingId && kLrecupera.value().as_bool();
    open_reference_table(51);
    refused() = false;
    FolderRows rows(cpf, opened_for_editing(id));
    if (opened_for_editing(id)) {
        if (!take_taxpayer(cpf)) return false;
        if (!recovery) read_register_again(cpf, existing);
    }
    try {
        if (recovery && opened_for_editing(id) && !recovery_agreed(cpf)) {
            tables::FECHA_PROV();
            refused() = true;
            return false;
        }
        if (!recovery) copies_replaced(cpf);
        if (!load_records(recovery, id, existing, cpf) || !load_work_copies(recovery, id, cpf, rows)) {
            tables::FECHA_PROV();
            common::MENS(11, recovery ? "Impossível recuperar o último CPF."_cp
                                      : "Não foi possível preparar os arquivos de trabalho do terminal."_cp);
            return false;
        }
    } catch (const TableUnavailable& e) {
        // a damaged table or a folder that may not be written: named, and
        // nothing opened
        for (int table = 1; table <= 20; ++table) tables::ws().close(table);
        tables::FECHA_PROV();
        if (*e.what() != '\0') common::AVISOSN(std::string(e.what()), 0);
        return false;
    }
    if (!recovery && opened_for_editing(id)) copies_editing(cpf, &rows);
    load_monthly_values();
    const std::string conjunta = variable_text("I9_4");
    if (fetches_spouse_values(id) && conjunta == "S") call_named("BUSCA_CONJU");
    prepare_lists();
    tables::ws().select(kRuralSummaryArea);
    PRENCHEWZK(variable_text("ATV_BRASIL"));
    // The months come from the rural cash book only when the worksheet is
    // fed by it; a worksheet of totals (SO_TOTAL true) keeps its own.
    const rt::Value totals_only = variable("SO_TOTAL");
    if (totals_only.is_logical() && !totals_only.as_bool()) call_named("SOMA_RUR", {rt::Value(2)});
    // A declaration written straight into the tables (an import) was never
    // computed on its screens: its statements, gains and rural results are
    // worked out on opening, as they are before its file is sent, so that
    // the pages show what the file says. A walk that only sends has them
    // worked out by the transfer.
    if (!walking_transfer(id)) call_named("RECALCULA");
    return true;
}

}  // namespace

bool INIC_VAR(int /*mode*/, int existing) { return load_declaration(kOpcao1.integer(0), existing, true); }

bool load_to_print() { return load_declaration(kPrintingId, 1, false); }

bool taxpayer_refused() {
    const bool was = refused();
    refused() = false;
    return was;
}

void PRENCHEWZK(std::string_view activity) {
    call_named("SOMA_DIV", {rt::Value(0)});
    const std::string atv = rt::PADR(std::string(activity), 1);
    auto* summary = tables::ws().table(kRuralSummaryArea);
    if (!variable("REND_RURAL").is_array()) blank_rend_rural();
    const bool found = summary && summary->seek(rt::Value(taxpayer_key(15, variable_text("CPF"), atv)));
    if (summary) record_to_variables(kRuralSummaryArea);
    if (found) {
        // Only the activity in Brazil has months; abroad keeps none of them.
        if (atv != "S") blank_rend_rural();
        if (atv == "S") {
            for (int month = 1; month <= 12; ++month) {
                const double revenue = summary->get("I3_" + rt::STRZERO(month, 2) + "OR").as_number();
                const double expense = summary->get("I3_" + rt::STRZERO(month, 2) + "OD").as_number();
                set_matrix_cell("REND_RURAL", month, 1, rt::Value(matrix_text(revenue, kRendRuralPicture)));
                set_matrix_cell("REND_RURAL", month, 2, rt::Value(matrix_text(expense, kRendRuralPicture)));
            }
        }
        return;
    }
    blank_rend_rural();
    for (const char* name : {"MVALOR1", "MVALOR2", "I4R_04", "I4R_07", "I5_08", "I5_09", "I5_10"})
        set_variable(name, rt::Value(0.0));
    set_variable("ATV_BRASIL", rt::Value(atv));
    // The blank record's logical field would say the months come from the
    // cash book; an activity without a summary yet has its months typed as
    // totals, as every declaration starts.
    set_variable("SO_TOTAL", rt::Value(true));
}

bool DIRETO() {
    set_variable("CPF", rt::Value(rt::SPACE(11)));
    std::string cpf;
    auto& ws = tables::ws();
    if (rt::table::file_exists(work_file(kRegisterTable) + ".dbf") &&
        tables::ABREARQ(29, true, work_file(kRegisterTable))) {
        if (auto* t = ws.table(29); t && !t->eof()) cpf = t->get("CPF").as_string();
        ws.close(29);
    }
    ws.select(kRegisterTable);
    const std::optional<RecoveryState> state = recovery_state();
    const bool known = state && state->cpf == cpf;
    // Copies saved and closed hold nothing a crash left.
    if (rt::ALLTRIM(cpf).empty() || (known && !state->editing)) {
        common::MENS(11, "Impossível recuperar o último CPF."_cp);
        return false;
    }
    // The copies go back to the folder they were loaded from.
    if (known && !tables::select_listed_folder(state->folder)) {
        common::AVISOSN(std::vector<std::string>{"A declaração a recuperar é da pasta"_cp, state->folder,
                                                 "que não está na lista das pastas deste terminal."_cp},
                        0);
        return false;
    }
    set_variable("CPF", rt::Value(cpf));
    kLrecupera.set(rt::Value(true));
    rt::clear_gets();
    return true;
}

}  // namespace qv::declaration
