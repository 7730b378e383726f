#include "common/paths.hpp"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>

#include <unistd.h>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

std::array<std::string, 26>& drive_roots() {
    static std::array<std::string, 26> roots;
    return roots;
}

std::optional<std::size_t> drive_index(char letter) {
    const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (up < 'A' || up > 'Z') return std::nullopt;
    return static_cast<std::size_t>(up - 'A');
}

std::string with_slash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

bool is_drive_name(std::string_view s) {
    return s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]));
}

std::string collapse_slashes(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

bool exists(std::string_view cp850_name) {
    std::error_code ec;
    return fs::exists(fs_path(cp850_name), ec);
}

// The entry of `folder` whose name equals `name` ignoring case.
std::optional<std::string> find_ignoring_case(const std::string& folder, std::string_view name) {
    std::error_code ec;
    fs::directory_iterator it(fs_path(folder.empty() ? "." : folder), ec);
    if (ec) return std::nullopt;
    const std::string want = rt::UPPER(name);
    for (const auto& entry : it) {
        const std::string found = rt::utf8_to_cp850(entry.path().filename().string());
        if (rt::UPPER(found) == want) return found;
    }
    return std::nullopt;
}

// The name with each part in the spelling found on disk, as far as the
// parts exist; the rest is kept as written.
std::string existing_spelling(const std::string& name) {
    if (name.empty() || exists(name)) return name;
    std::string done = name.front() == '/' ? "/" : "";
    std::size_t pos = done.size();
    while (pos < name.size()) {
        const std::size_t slash = name.find('/', pos);
        const std::string part = name.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        const std::string tail = slash == std::string::npos ? "" : "/";
        if (!part.empty() && !exists(done + part)) {
            const auto found = find_ignoring_case(done, part);
            if (!found) return done + name.substr(pos);
            done += *found + tail;
        } else {
            done += part + tail;
        }
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    return done;
}

}  // namespace

std::string drive_root(char letter) {
    const auto index = drive_index(letter);
    if (!index) return "/";
    if (const std::string& set = drive_roots()[*index]; !set.empty()) return set;
    const char up = static_cast<char>('A' + *index);
    const std::string variable = std::string("QV_DRIVE_") + up;
    if (const char* env = std::getenv(variable.c_str()); env != nullptr && *env != '\0') return with_slash(env);
    if (up == 'C') return "/";
    return std::string("/mnt/") + static_cast<char>(std::tolower(static_cast<unsigned char>(up))) + "/";
}

void set_drive_root(char letter, std::string root) {
    if (const auto index = drive_index(letter)) drive_roots()[*index] = root.empty() ? root : with_slash(std::move(root));
}

std::string to_local_path(std::string_view name) {
    std::string s = rt::STRTRAN(rt::ALLTRIM(name), "\\", "/");
    if (is_drive_name(s)) {
        std::string rest = s.substr(2);
        while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
        s = drive_root(s[0]) + rest;
    }
    return existing_spelling(collapse_slashes(s));
}

fs::path fs_path(std::string_view cp850_name) { return fs::path(rt::cp850_to_utf8(cp850_name)); }

std::string BAR_DIR(std::string_view path) {
    const std::string local = to_local_path(path);
    return local.empty() ? local : with_slash(local);
}

std::string BAR_FORA(std::string_view path) {
    std::string local = to_local_path(path);
    while (local.size() > 1 && local.back() == '/') local.pop_back();
    return local;
}

std::string TIRA_DIR(std::string_view path) {
    const std::string local = to_local_path(path);
    const auto slash = local.rfind('/');
    return slash == std::string::npos ? local : local.substr(slash + 1);
}

bool VERDIR(std::string_view folder) {
    const std::string local = BAR_FORA(folder);
    if (local.empty()) return false;
    std::error_code ec;
    return fs::is_directory(fs_path(local), ec);
}

bool folder_writable(std::string_view folder) {
    if (!VERDIR(folder)) return false;
    // A file made and removed at once: the rights alone do not tell (a
    // read-only mount, a network share's own rules).
    const fs::path probe = fs_path(BAR_DIR(folder)) / ("QVPROVA" + std::to_string(::getpid()) + ".TMP");
    std::FILE* f = std::fopen(probe.c_str(), "wx");
    if (f == nullptr) return false;
    std::fclose(f);
    std::error_code ec;
    fs::remove(probe, ec);
    return true;
}

bool CONFER_DIR(std::string_view folder) {
    if (VERDIR(folder)) return true;
    MENS(0, "<Dir> " + rt::ALLTRIM(folder) + "não encontrado. Assumindo o padrão!"_cp);
    return false;
}

std::string folder_length_refusal(std::string_view folder, std::size_t limit) {
    if (rt::TRIM(folder).size() <= limit) return {};
    return "O nome da pasta passa do limite de "_cp + std::to_string(limit) + " caracteres."_cp;
}

bool ESPCIF(std::string_view path) {
    const std::string name = rt::ALLTRIM(path);
    if (rt::SUBSTR(name, 2, 1) == ":" || rt::LEFT(name, 1) == "/") return true;
    AVISOSN("Especifique o drive com ':' após a letra"_cp, 0);
    return false;
}

}  // namespace qv::common
