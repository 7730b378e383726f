#include "runtime/table/replace_set.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/table/file_lock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

void sync_folder(const std::string& file) {
    const std::string folder = folder_of(file);
    FileHandle dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
}

}  // namespace

std::string replace_list_of(const std::string& table_path) {
    return folder_of(table_path) + stem_of(table_path) + ".rp~";
}

void replace_together(const std::string& table_path, const std::vector<Rename>& renames) {
    const std::string list = replace_list_of(table_path);
    const std::string draft = list + "~";
    std::string text;
    for (const Rename& r : renames) text += r.from + '\t' + r.to + '\n';
    {
        FileHandle fd(::open(draft.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!fd) fail(draft, std::string("cannot create: ") + std::strerror(errno));
        try {
            write_at(fd.get(), text.data(), text.size(), 0, draft);
        } catch (...) {
            ::unlink(draft.c_str());
            throw;
        }
        if (::fsync(fd.get()) != 0) {
            const int err = errno;
            ::unlink(draft.c_str());
            fail(draft, std::string("cannot sync: ") + std::strerror(err));
        }
    }
    if (::rename(draft.c_str(), list.c_str()) != 0) {
        const int err = errno;
        ::unlink(draft.c_str());
        fail(list, std::string("cannot rename: ") + std::strerror(err));
    }
    sync_folder(list);
    finish_replacing(table_path);
}

void keep_permissions(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::stat(to.c_str(), &st) == 0) ::chmod(from.c_str(), st.st_mode & 07777);
}

void finish_replacing(const std::string& table_path) {
    const std::string list = replace_list_of(table_path);
    std::ifstream in(list, std::ios::binary);
    if (!in) return;
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string from = line.substr(0, tab), to = line.substr(tab + 1);
        if (::access(from.c_str(), F_OK) != 0) continue;   // made before the crash
        keep_permissions(from, to);
        // Gone meanwhile: its writer (or another user opening) renamed it.
        if (::rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT)
            fail(to, std::string("cannot finish replacing the file: ") + std::strerror(errno));
    }
    sync_folder(list);
    ::unlink(list.c_str());
}

}  // namespace qv::rt::table
