#include "runtime/table/file_names.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "runtime/core/cp850.hpp"

namespace qv::rt::table {

namespace {

bool exists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y && std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

std::vector<std::string> split(std::string_view p) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= p.size()) {
        const std::size_t slash = p.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? p.size() : slash;
        parts.emplace_back(p.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

// The name in the file system's characters: the program's names are CP850
// text, the file system's are UTF-8. ASCII is the same in both.
std::string to_os(std::string_view name) {
    if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(name);
    std::string out;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else append_utf8(out, cp850_to_unicode(static_cast<unsigned char>(c)));
    }
    return out;
}

// The entry of `folder` (file system characters) named `name` ignoring
// case; empty if none.
std::string entry_ignoring_case(const std::string& folder, std::string_view name) {
    const std::string dir = folder.empty() ? std::string(".") : folder;
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return {};
    std::string found;
    while (dirent* e = ::readdir(d.get())) {
        const std::string_view entry(e->d_name);
        if (entry == name) return std::string(entry);   // the exact name wins
        if (found.empty() && same_ignoring_case(entry, name)) found = entry;
    }
    return found;
}

// One part of a name, after the existing parts `done`: the program's
// spelling converted, or the part as given when it is in the file system's
// characters already (a name this layer resolved before), each matched
// ignoring case; a part that is not there keeps the program's spelling.
std::string resolve_part(const std::string& done, const std::string& part) {
    const std::string os = to_os(part);
    if (exists(done + os)) return os;
    const bool converted = os != part;
    if (converted && exists(done + part)) return part;
    if (std::string real = entry_ignoring_case(done, os); !real.empty()) return real;
    if (converted)
        if (std::string real = entry_ignoring_case(done, part); !real.empty()) return real;
    return os;
}

}  // namespace

std::string normalise_separators(std::string_view path) {
    std::string s(path);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::string base_name(std::string_view path) {
    const std::string s = normalise_separators(path);
    const std::size_t slash = s.rfind('/');
    return slash == std::string::npos ? s : s.substr(slash + 1);
}

std::string folder_of(std::string_view path) {
    const std::string s = normalise_separators(path);
    const std::size_t slash = s.rfind('/');
    return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

std::string stem_of(std::string_view path) {
    const std::string b = base_name(path);
    const std::size_t dot = b.rfind('.');
    return dot == std::string::npos || dot == 0 ? b : b.substr(0, dot);
}

std::string with_default_extension(std::string_view path, std::string_view ext) {
    std::string s = normalise_separators(path);
    if (base_name(s).find('.') == std::string::npos) s += ext;
    return s;
}

std::string with_extension(std::string_view path, std::string_view ext) {
    return folder_of(path) + stem_of(path) + std::string(ext);
}

std::string find_in_folder(std::string_view folder, std::string_view name) {
    const std::string dir = resolve_path(folder);
    std::string found = entry_ignoring_case(dir, to_os(name));
    if (found.empty() && to_os(name) != name) found = entry_ignoring_case(dir, name);
    return found.empty() ? found : utf8_to_cp850(found);
}

// Every name given to the table engine comes through here on its way to the
// file system, whichever way it is spelled: this is where the program's
// characters become the file system's.
std::string resolve_path(std::string_view path) {
    const std::string given = normalise_separators(path);
    const std::string os = to_os(given);
    if (os.empty() || exists(os)) return os;
    if (os != given && exists(given)) return given;
    // Most often the folder is there as spelled and only the name is to be
    // matched (a file about to be made): one look at that folder.
    const std::size_t slash = given.rfind('/');
    if (slash != std::string::npos && slash + 1 < given.size() && os == given) {
        const std::string folder = given.substr(0, slash + 1);
        const std::string name = given.substr(slash + 1);
        if (name != "." && name != ".." && exists(folder)) {
            const std::string real = entry_ignoring_case(folder, name);
            return folder + (real.empty() ? name : real);
        }
    }
    const std::vector<std::string> parts = split(given);
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const bool last = i + 1 == parts.size();
        if (part.empty() || part == "." || part == "..") out += part;
        else out += resolve_part(out, part);
        if (!last) out += '/';
    }
    return out;
}

bool file_exists(std::string_view path) {
    const std::string s = normalise_separators(path);
    return exists(s) || exists(resolve_path(s));
}

}  // namespace qv::rt::table
