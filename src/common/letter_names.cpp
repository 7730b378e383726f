#include "common/letter_names.hpp"

#include <filesystem>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

std::string letter_file_name(std::string_view name) {
    std::string n = rt::ALLTRIM(name);
    // Letters live in the program folder only: a folder typed with the name
    // is dropped.
    if (const std::size_t cut = n.find_last_of("/\\:"); cut != std::string::npos) n.erase(0, cut + 1);
    if (n.empty()) return "SemNome.txt";
    if (n.find('.') == std::string::npos) n += ".txt";
    return rt::LOWER(n);
}

std::string letter_path(std::string_view name) {
    return to_local_path(Global{"ARQDEF"}.text() + letter_file_name(name));
}

bool letter_exists(std::string_view name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(fs_path(letter_path(name)), ec);
}

}  // namespace qv::common
