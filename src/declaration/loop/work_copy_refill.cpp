#include "declaration/loop/work_copy_refill.hpp"

#include <filesystem>
#include <string_view>
#include <vector>

#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/recovery_state.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

namespace tb = rt::table;

constexpr int kCopiedTables[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20};

bool same_layout(const tb::Table& a, const tb::Table& b) {
    if (a.record_len() != b.record_len() || a.field_count() != b.field_count()) return false;
    for (int i = 0; i < a.field_count(); ++i) {
        const tb::Field& x = a.fields()[std::size_t(i)];
        const tb::Field& y = b.fields()[std::size_t(i)];
        if (x.name != y.name || x.type != y.type || x.len != y.len || x.dec != y.dec) return false;
    }
    return true;
}

// The open work copy of `table`, when it is the one a load makes: this
// terminal's file in `folder`, exclusive, its one order on the work key.
tb::Table* kept_copy(const std::string& folder, int table) {
    tb::Table* copy = tables::ws().table(work_area(table));
    if (copy == nullptr || !copy->exclusive() || copy->order_count() != 1) return nullptr;
    const std::string file = work_file(folder, table) + ".dbf";
    if (copy->path() != file && copy->path() != tb::resolve_path(file)) return nullptr;
    if (copy->order_key(1) != work_index_key(work_area(table))) return nullptr;
    return copy;
}

// The raw rows of the taxpayer from the current record of the table open
// in `area` on; empty when the table's layout is not the copy's.
std::vector<std::string> taxpayer_rows_from(int area, int table, const std::string& key) {
    tb::Table& t = tables::ws().current(area);
    const auto belongs = taxpayer_rows(area, table, key.substr(0, 11), key.size() > 11 ? key.substr(11) : "");
    std::vector<std::string> rows;
    for (; !t.eof(); t.skip(1)) {
        const std::string record = t.raw_record();
        if (!belongs(record)) break;
        if (!t.deleted()) rows.push_back(record);
    }
    return rows;
}

void refill(tb::Table& copy, const std::vector<std::string>& rows) {
    copy.clear_filter();
    copy.refill(rows);
    copy.set_order(1);
    copy.go_top();
}

// A copy whose layout differs from its table's (the client folder changed)
// is made again the ordinary way.
void remake_copy(int table, const std::string& key) {
    tables::ws().close(work_area(table));
    for (const char* ext : {".dbf", ".cdx"}) {
        std::error_code ec;
        std::filesystem::remove(tb::resolve_path(work_file(table) + ext), ec);
    }
    tables::ws().current(table).seek(rt::Value(key));
    copy_taxpayer_rows(table, table, key);
    if (!open_work_copy(table)) throw tb::TableError(work_file(table) + ": cannot be opened");
}

void refill_table(const std::string& folder, int table, const std::string& cpf, FolderRows& rows) {
    const std::string key = taxpayer_key(table, cpf, variable_text("ATV_BRASIL"));
    open_waiting(table, true, kLoadWait);
    struct Close {
        int table;
        ~Close() { tables::ws().close(table); }
    } close{table};
    tb::Table& source = tables::ws().current(table);
    tb::Table& copy = *kept_copy(folder, table);
    if (!same_layout(source, copy)) {
        remake_copy(table, key);
    } else {
        source.seek(rt::Value(key));
        refill(copy, taxpayer_rows_from(table, table, key));
    }
    rows.gather(table);
}

// The work copies closed; the taxpayer stays this terminal's (the load
// goes on the ordinary way).
void close_copies_keeping_taxpayer() {
    for (int area = work_area(1); area <= work_area(20); ++area) tables::ws().close(area);
}

// A taxpayer registered in this session has no register row yet (the save
// makes it): its copy gets a blank one with the CPF, so that a recovery
// knows whose copies these are.
std::string blank_register_row(const tb::Table& copy, const std::string& key) {
    std::string row(static_cast<std::size_t>(copy.record_len()), ' ');
    const int cpf = copy.field_index("CPF");
    if (cpf >= 0) {
        const tb::Field& f = copy.fields()[std::size_t(cpf)];
        row.replace(std::size_t(f.offset), std::min(key.size(), std::size_t(f.len)), key.substr(0, std::size_t(f.len)));
    }
    return row;
}

// The register's rows: from the walk's open register at the taxpayer, or
// from the register opened for the purpose.
std::vector<std::string> register_rows(const std::string& folder, const std::string& cpf) {
    const std::string key = taxpayer_key(kRegisterTable, cpf, "");
    auto& ws = tables::ws();
    const bool opened = ws.table(kRegisterTable) == nullptr;
    if (opened) open_waiting(kRegisterTable, false, kLoadWait);
    struct Close {
        bool opened;
        ~Close() {
            if (opened) tables::ws().close(kRegisterTable);
        }
    } close{opened};
    tb::Table& reg = ws.current(kRegisterTable);
    if (!same_layout(reg, *kept_copy(folder, kRegisterTable))) throw tb::TableError("register layout changed");
    if (reg.eof() || reg.get("CPF").as_string() != key) reg.seek(rt::Value(key));
    return taxpayer_rows_from(kRegisterTable, kRegisterTable, key);
}

}  // namespace

bool refill_work_copies(int /*id*/, const std::string& cpf, FolderRows& rows) {
    const std::string folder = work_folder();
    if (kept_copy(folder, kRegisterTable) == nullptr) return false;
    for (int table : kCopiedTables)
        if (kept_copy(folder, table) == nullptr) return false;
    try {
        // The register's copy names the taxpayer a recovery reopens: it is
        // emptied first and refilled last, so that a load cut short leaves
        // nothing to recover.
        std::vector<std::string> reg_rows = register_rows(folder, cpf);
        if (reg_rows.empty())
            reg_rows.push_back(blank_register_row(*kept_copy(folder, kRegisterTable), taxpayer_key(kRegisterTable, cpf, "")));
        refill(*kept_copy(folder, kRegisterTable), {});
        for (int table : kCopiedTables) {
            refill_table(folder, table, cpf, rows);
            tables::MOSTRADOR(1, 1);
        }
        refill(*kept_copy(folder, kRegisterTable), reg_rows);
    } catch (const tb::TableError&) {
        close_copies_keeping_taxpayer();
        return false;
    }
    tables::ws().select(work_area(kRegisterTable));
    tables::MOSTRADOR(1, 1);
    return true;
}

bool reopen_kept_copies() {
    const std::string folder = work_folder();
    auto& ws = tables::ws();
    std::vector<int> tables{kRegisterTable};
    tables.insert(tables.end(), std::begin(kCopiedTables), std::end(kCopiedTables));
    for (const int table : tables) {
        if (kept_copy(folder, table) != nullptr) continue;
        const std::string file = tb::resolve_path(work_file(folder, table) + ".dbf");
        bool opened = false;
        if (tb::file_exists(file)) {
            tb::OpenOptions opt;
            opt.exclusive = true;
            try {
                ws.use_in(work_area(table), file, opt);
                opened = kept_copy(folder, table) != nullptr;
            } catch (const tb::TableError&) {
            }
        }
        if (!opened) {
            close_copies_keeping_taxpayer();
            return false;
        }
    }
    return true;
}

}  // namespace qv::declaration
