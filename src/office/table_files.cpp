#include "office/table_files.hpp"

#include <filesystem>

#include "common/paths.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace fs = std::filesystem;
namespace tb = rt::table;

namespace {

constexpr const char* kMemoExtensions[] = {".fpt", ".FPT", ".dbt", ".DBT"};

// Renames every file "<temp>.<ext>" of the folder to "<final>.<ext>".
// (Folders are named in the program's characters; the file system's names
// come from the table engine's resolution.)
bool rename_all(const std::string& folder, const std::string& temp, const std::string& final_stem) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(tb::resolve_path(folder), ec)) {
        const fs::path p = e.path();
        if (p.stem().string() != temp) continue;
        fs::rename(p, tb::resolve_path(tables::in_folder(folder, final_stem + p.extension().string())), ec);
        if (ec) return false;
    }
    return true;
}

void remove_all_named(const std::string& folder, const std::string& stem) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(tb::resolve_path(folder), ec))
        if (e.path().stem().string() == stem) fs::remove(e.path(), ec);
}

}  // namespace

double free_space_of(const std::string& folder) {
    std::error_code ec;
    const fs::space_info info = fs::space(common::fs_path(folder), ec);
    return ec ? 0.0 : static_cast<double>(info.available);
}

double table_size(tb::Table& t) {
    return static_cast<double>(t.record_len()) * t.lastrec() + t.header_len() + 1;
}

bool copy_rows_to(tb::Table& t, const std::string& folder, const std::string& name) {
    const std::string stem = tb::stem_of(name);
    const std::string temp = "~" + stem;
    remove_all_named(folder, temp);
    try {
        tb::copy_to(tables::ws(), t, folder + temp + ".dbf");
    } catch (const tb::TableError&) {
        remove_all_named(folder, temp);
        return false;
    }
    // The target keeps the spelling it had; a new one gets the given name.
    const std::string existing = tb::find_in_folder(folder, stem + ".dbf");
    const std::string final_stem = existing.empty() ? stem : tb::stem_of(existing);
    return rename_all(folder, temp, final_stem);
}

bool copy_table_file(const std::string& from, const std::string& name, const std::string& to) {
    const std::string stem = tb::stem_of(name);
    std::vector<std::string> files{name};
    for (const char* ext : kMemoExtensions) {
        const std::string memo = tb::find_in_folder(from, stem + ext);
        if (!memo.empty()) {
            files.push_back(memo);
            break;
        }
    }
    std::error_code ec;
    for (const std::string& f : files) {
        const fs::path beside = tb::resolve_path(tables::in_folder(to, "~" + f));
        fs::copy_file(tb::resolve_path(tables::in_folder(from, f)), beside, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            fs::remove(beside, ec);
            return false;
        }
        const std::string existing = tb::find_in_folder(to, f);
        fs::rename(beside, tb::resolve_path(tables::in_folder(to, existing.empty() ? f : existing)), ec);
        if (ec) return false;
    }
    return true;
}

}  // namespace qv::office
