#include "office/folder_tables.hpp"

#include <cstdio>
#include <filesystem>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/catalogue.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace fs = std::filesystem;
namespace tb = rt::table;

std::string table_name(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "IMP%02d12", code);
    return buf;
}

std::string local_folder(std::string_view folder) {
    const std::string trimmed = rt::ALLTRIM(folder);
    if (trimmed.empty()) return {};
    return common::BAR_DIR(common::to_local_path(trimmed));
}

bool same_folder(std::string_view a, std::string_view b) {
    const std::string la = local_folder(a), lb = local_folder(b);
    if (la == lb) return true;
    std::error_code ec;
    return fs::equivalent(common::fs_path(la), common::fs_path(lb), ec);
}

bool open_folder_table(std::string_view folder, int code, int area, bool exclusive, std::string_view alias) {
    const auto entry = tables::catalogue_entry(code, tables::terminal());
    if (!entry || entry->folder != tables::Folder::Client) return false;
    const std::string dir = local_folder(folder);
    std::optional<std::string> file2;
    if (!entry->file2.empty()) file2 = dir + entry->file2;
    const std::string file3 = entry->file3.empty() ? std::string() : dir + entry->file3;
    // The opening takes the alias from APELIDO: two registers open at once
    // need different names.
    const common::Global apelido("APELIDO");
    const rt::Value saved = apelido.value();
    apelido.set(rt::Value(std::string(alias)));
    const bool ok = tables::ABREARQ(area, exclusive, dir + entry->file, entry->key1, entry->key2, file2, entry->key3, file3);
    apelido.set(saved.is_string() ? saved : rt::Value(""));
    return ok && tables::ws().table(area) != nullptr;
}

void remove_index_files(std::string_view folder, int code) {
    const std::string dir = local_folder(folder);
    std::vector<std::string> names{table_name(code) + ".CDX"};
    if (code == kRegister) {
        names.push_back(table_name(code) + "B.CDX");
        names.push_back(table_name(code) + "C.CDX");
    }
    for (const std::string& name : names) {
        const std::string found = tb::find_in_folder(dir, name);
        if (found.empty()) continue;
        std::error_code ec;
        fs::remove(tb::resolve_path(dir + found), ec);
    }
}

long delete_taxpayer_rows(tb::Table& t, const rt::Value& cpf, const std::function<bool()>& also) {
    t.set_order(1);
    long n = 0;
    for (bool found = t.seek(cpf); found && !t.eof(); t.skip(1)) {
        if (rt::TRIM(t.get("CPF").as_string()) != rt::TRIM(cpf.as_string())) break;
        if (t.deleted() || (also && !also())) continue;
        t.delete_record();
        ++n;
    }
    t.commit();
    return n;
}

bool held_elsewhere(const std::string& path) {
    tb::Workspace probe;
    tb::OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    try {
        probe.use_in(1, path, opt);
    } catch (const tb::TableBusy&) {
        return true;
    } catch (const tb::TableError&) {
        return false;
    }
    probe.close_all();
    return false;
}

int first_table_held(const std::string& folder) {
    for (int code = kFirstTable; code <= kLastTable; ++code) {
        const std::string name = tb::find_in_folder(folder, table_name(code) + ".DBF");
        if (!name.empty() && held_elsewhere(folder + name)) return code;
    }
    return 0;
}

rt::Value cpf_key(std::string_view cpf) { return rt::Value(rt::PADR(rt::ALLTRIM(cpf), 11)); }

}  // namespace qv::office
