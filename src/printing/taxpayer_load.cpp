#include "printing/taxpayer_load.hpp"

#include <string>

#include "common/windows.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/state.hpp"

namespace qv::printing {

namespace dc = qv::declaration;
using rt::operator""_cp;

namespace {

// Every row of the taxpayer, the rural activities in Brazil and abroad
// alike: the printouts take each activity from the same copy.
void copy_to_work_table(int table, const std::string& cpf) {
    auto& ws = tables::ws();
    ws.close(dc::work_area(table));
    dc::open_waiting(table, false, dc::kLoadWait);
    auto& source = ws.current(table);
    source.seek(rt::Value(cpf));
    rt::table::TransferOptions opt;
    opt.rest = true;
    opt.while_cond = [&source, cpf] { return rt::PADR(source.get("CPF").as_string(), 11) == cpf; };
    opt.for_cond = [&source] { return !source.deleted(); };
    rt::table::copy_to(ws, source, dc::work_file(table), opt);
    ws.close(table);
    dc::open_work_copy(table);
}

// The summary lines of a declaration opened and saved hold what its pages
// computed on saving. A declaration the converter wrote and nobody opened
// holds none of them but the taxes paid its file brings (and the spouse's
// values, kept apart from these lines).
bool summary_computed() {
    for (int line = 1; line <= 50; ++line) {
        if (line >= 31 && line <= 33) continue;
        if (dc::variable_number("I13_" + rt::STRZERO(line, 2)) != 0) return true;
    }
    return false;
}

// The declaration loaded as the declaration loads it and computed; the
// register stays on the row the print stands on.
bool load_and_compute() {
    auto& ws = tables::ws();
    const int register_area = ws.selected();
    rt::table::Table* reg = ws.table(dc::kRegisterTable);
    const std::uint32_t row = reg ? reg->recno() : 0;
    const bool loaded = dc::load_to_print();
    // The walk goes on from the row it printed.
    if ((reg = ws.table(dc::kRegisterTable)) != nullptr && row != 0) reg->go_to(row);
    ws.select(register_area);
    if (!loaded) return false;
    // The entries, which the declaration loads only for its own screen, and
    // the rural rows of both activities, which the rural pages print one
    // after the other.
    const std::string cpf = rt::PADR(dc::variable_text("CPF"), 11);
    for (int table : {13, 15, 16, 17, 18, 19}) copy_to_work_table(table, cpf);
    dc::call_named("FI7_T");
    dc::call_named("FI8_T");
    dc::call_named("FI10_1");
    ws.select(register_area);
    return true;
}

}  // namespace

bool load_whole_declaration(int window_kind) {
    INIVAR(window_kind, 2, 19);
    return summary_computed() || load_and_compute();
}

void INIVAR(int window_kind, int first_table, int last_table) {
    auto& ws = tables::ws();
    common::ESCRLCOL(window_kind, 1, 2, "Separando informações..."_cp);
    const int register_area = ws.selected();
    if (ws.table(dc::kRegisterTable)) dc::record_to_variables(dc::kRegisterTable);
    const std::string cpf = rt::PADR(dc::variable_text("CPF"), 11);
    dc::open_waiting(dc::kDeclarationTable, true, dc::kLoadWait);
    if (ws.current(dc::kDeclarationTable).seek(rt::Value(cpf))) dc::record_to_variables(dc::kDeclarationTable);
    ws.close(dc::kDeclarationTable);
    dc::set_variable("CPF", rt::Value(cpf));
    for (int table = first_table; table <= last_table; ++table)
        if (table != dc::kRegisterTable) copy_to_work_table(table, cpf);
    if (first_table != 7 && first_table != 11 && last_table != 2) {
        dc::call_named("FI7_T");
        dc::call_named("FI8_T");
        dc::call_named("FI10_1");
    }
    ws.select(register_area);
}

}  // namespace qv::printing
