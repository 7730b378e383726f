#include "common/letter_names.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

namespace {

namespace fs = std::filesystem;

std::string data_folder() { return Global{"LOCARQ"}.text(); }
std::string program_folder() { return Global{"ARQDEF"}.text(); }

bool is_file(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(fs_path(path), ec);
}

// The "*.txt" files of a folder, named as the disk spells them.
std::vector<std::string> text_files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs_path(folder), ec)) {
        const std::string name = rt::utf8_to_cp850(entry.path().filename().string());
        if (entry.is_regular_file(ec) && name.size() > 4 && rt::UPPER(name.substr(name.size() - 4)) == ".TXT")
            names.push_back(name);
    }
    return names;
}

// A file the letters editor wrote: its page-format header, or a merge
// field, in its first characters.
bool written_as_letter(const std::string& path) {
    std::ifstream in(fs_path(path), std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t open = head.find('\xAE');   // «
    return head.starts_with(kLetterHeaderOpen) || (open != std::string::npos && head.find('\xAF', open) != std::string::npos);
}

}  // namespace

std::string letter_file_name(std::string_view name) {
    std::string n = rt::ALLTRIM(name);
    // A letter lives in its folder only: a folder typed with the name is
    // dropped.
    if (const std::size_t cut = n.find_last_of("/\\:"); cut != std::string::npos) n.erase(0, cut + 1);
    if (n.empty()) return "SemNome.txt";
    if (n.find('.') == std::string::npos) n += ".txt";
    return rt::LOWER(n);
}

std::string letter_save_path(std::string_view name) { return to_local_path(data_folder() + letter_file_name(name)); }

std::string letter_path(std::string_view name) {
    const std::string file = letter_file_name(name);
    const std::string here = letter_save_path(file);
    if (is_file(here) || remittance_file_name(file)) return here;
    const std::string kept = to_local_path(program_folder() + file);
    return is_file(kept) ? kept : here;
}

bool letter_exists(std::string_view name) {
    return !remittance_file_name(letter_file_name(name)) && is_file(letter_path(name));
}

std::vector<std::string> letter_names() {
    std::vector<std::string> names;
    std::set<std::string> seen;
    const auto add = [&](const std::string& name) {
        if (!remittance_file_name(name) && !print_file_name(name) && seen.insert(rt::UPPER(name)).second)
            names.push_back(name);
    };
    for (const std::string& name : text_files(data_folder())) add(name);
    if (BAR_DIR(program_folder()) != BAR_DIR(data_folder()))
        for (const std::string& name : text_files(program_folder()))
            if (written_as_letter(to_local_path(program_folder() + name))) add(name);
    std::sort(names.begin(), names.end());
    return names;
}

bool remittance_file_name(std::string_view file_name) {
    if (file_name.size() != 12 || std::toupper(static_cast<unsigned char>(file_name[0])) != 'C') return false;
    for (std::size_t i = 1; i <= 6; ++i)
        if (!std::isdigit(static_cast<unsigned char>(file_name[i]))) return false;
    return std::isalpha(static_cast<unsigned char>(file_name[7])) && rt::UPPER(file_name.substr(8)) == ".TXT";
}

bool print_file_name(std::string_view file_name) {
    const std::string name = rt::UPPER(file_name);
    if (name.size() <= 4 || !name.ends_with(".TXT")) return false;
    const std::string stem = name.substr(0, name.size() - 4);
    if (stem == "NAO-DOS" || stem == "RELATOR" || stem == rt::UPPER(rt::ALLTRIM(Global{"SAIDAPR"}.text())))
        return true;
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    if (stem.size() == 11 && digits(stem)) return true;
    return stem.size() == 11 && stem.starts_with("FILA-");
}

}  // namespace qv::common
