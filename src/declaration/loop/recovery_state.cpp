#include "declaration/loop/recovery_state.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

namespace tb = rt::table;

constexpr int kFirstTable = 1, kLastTable = 20;

std::string state_file() { return tb::resolve_path(work_folder() + "TMP_" + tables::terminal() + ".rec"); }

// The last state this program wrote, and where: a walk over many
// declarations writes the file only when it changes.
struct Written {
    std::string file;
    RecoveryState state;
};
std::optional<Written>& last_written() {
    static std::optional<Written> written;
    return written;
}

bool same(const RecoveryState& a, const RecoveryState& b) {
    return a.folder == b.folder && a.cpf == b.cpf && a.editing == b.editing && a.contents == b.contents;
}

void hash_bytes(std::uint64_t& h, std::string_view bytes) {
    for (const unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
}

// The register's row with the office's own fields blanked: a mark set or
// cleared on another terminal changes nothing of the declaration.
void blank_office_fields(const tb::Table& reg, std::string& row) {
    for (const std::string_view name : kOfficeRegisterFields) {
        const int i = reg.field_index(name);
        if (i < 0) continue;
        const tb::Field& f = reg.fields()[std::size_t(i)];
        row.replace(std::size_t(f.offset), std::size_t(f.len), std::size_t(f.len), ' ');
    }
}

// The taxpayer's rows of the table `t` (declaration table `table`), every
// rural activity included, sorted; `t` is left on another record.
std::vector<std::string> rows_in(tb::Table& t, int table, const std::string& key) {
    std::vector<std::string> rows;
    t.set_order(1);
    for (t.seek(rt::Value(key)); !t.eof() && t.get("CPF").as_string() == key; t.skip(1)) {
        if (t.deleted()) continue;
        std::string row = t.raw_record();
        if (table == kRegisterTable) blank_office_fields(t, row);
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The same, with the table opened for it (or opened again, left at the
// taxpayer, when it was open).
std::vector<std::string> rows_of(int table, const std::string& key) {
    auto& ws = tables::ws();
    const bool was_open = ws.table(table) != nullptr;
    open_waiting(table, false, kLoadWait);
    tb::Table& t = ws.current(table);
    std::vector<std::string> rows = rows_in(t, table, key);
    if (was_open) t.seek(rt::Value(key));
    else ws.close(table);
    return rows;
}

RecoveryState current(const std::string& cpf, bool editing) {
    return {tables::client_folder(), rt::PADR(cpf, 11), editing, {}};
}

}  // namespace

std::optional<RecoveryState> recovery_state() {
    std::ifstream in(state_file(), std::ios::binary);
    RecoveryState s;
    std::string editing;
    if (!std::getline(in, s.folder) || !std::getline(in, s.cpf) || !std::getline(in, editing)) return std::nullopt;
    std::getline(in, s.contents);
    s.editing = editing == "S";
    return s;
}

void keep_recovery_state(const RecoveryState& state) {
    const std::string file = state_file();
    if (last_written() && last_written()->file == file && same(last_written()->state, state) && tb::file_exists(file))
        return;
    const std::string beside = file + ".new";
    {
        std::ofstream out(beside, std::ios::binary | std::ios::trunc);
        out << state.folder << '\n' << state.cpf << '\n' << (state.editing ? "S" : "N") << '\n' << state.contents << '\n';
        if (!out.flush()) {
            std::remove(beside.c_str());
            last_written().reset();
            return;
        }
    }
    if (std::rename(beside.c_str(), file.c_str()) != 0) {
        std::remove(beside.c_str());
        last_written().reset();
        return;
    }
    last_written() = Written{file, state};
}

void copies_replaced(const std::string& cpf) { keep_recovery_state(current(cpf, false)); }

void copies_editing(const std::string& cpf, FolderRows* rows) {
    RecoveryState s = current(cpf, true);
    try {
        s.contents = rows ? rows->sum() : folder_contents(cpf);
    } catch (const TableUnavailable&) {
        // unknown: a recovery will ask before it uses the copies
    } catch (const tb::TableError&) {
    }
    keep_recovery_state(s);
}

void copies_closed() {
    std::optional<RecoveryState> s = recovery_state();
    if (!s || !s->editing) return;
    s->editing = false;
    keep_recovery_state(*s);
}

FolderRows::FolderRows(const std::string& cpf, bool wanted) : key_(rt::PADR(cpf, 11)), wanted_(wanted) {}

void FolderRows::gather(int table) {
    if (!wanted_ || table < kFirstTable || table > kLastTable || table == kEntriesTable) return;
    rows_[std::size_t(table)] = rows_in(tables::ws().current(table), table, key_);
}

std::string FolderRows::sum() {
    std::uint64_t h = 14695981039346656037ULL;
    for (int table = kFirstTable; table <= kLastTable; ++table) {
        if (table == kEntriesTable) continue;
        auto& rows = rows_[std::size_t(table)];
        if (!rows) rows = rows_of(table, key_);
        hash_bytes(h, std::to_string(table) + ":" + std::to_string(rows->size()) + ";");
        for (const std::string& row : *rows) {
            hash_bytes(h, std::to_string(row.size()) + ":");
            hash_bytes(h, row);
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string folder_contents(const std::string& cpf) { return FolderRows(cpf).sum(); }

}  // namespace qv::declaration
