// ZAP and PACK: the operations that rewrite a whole table.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/core/clock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

void Table::zap() {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "ZAP needs the table opened exclusively");
    dirty_ = false;
    map_.reset();
    wmap_.reset();
    write_count(0);
    const char eof = kEndOfFile;
    write_at(fd_.get(), &eof, 1, header_.header_len, path_);
    if (::ftruncate(fd_.get(), header_.header_len + 1) != 0)
        fail(path_, std::string("cannot truncate: ") + std::strerror(errno));
    if (memo_) memo_->clear();
    reindex();
}

// The live records go to a new file beside the table, which then replaces
// it in one rename: a crash leaves either the old table or the new one.
void Table::pack() {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "PACK needs the table opened exclusively");
    flush();
    const std::string tmp = folder_of(path_) + stem_of(path_) + "." + std::to_string(::getpid()) + ".pk~";
    FileHandle out(::open(tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out) fail(tmp, std::string("cannot create: ") + std::strerror(errno));
    try {
        if (!take_share_signal(out.get(), true)) fail(tmp, "cannot lock the new file");
        std::string hbytes(header_.header_len, '\0');
        read_at(fd_.get(), hbytes.data(), hbytes.size(), 0, path_);
        std::string data;
        std::uint32_t live = 0;
        std::int64_t at = header_.header_len;
        scan_all([&](std::uint32_t) {
            if (buf_[0] == '*') return;
            data += buf_;
            ++live;
            if (data.size() >= (1u << 20)) {
                write_at(out.get(), data.data(), data.size(), at, tmp);
                at += static_cast<std::int64_t>(data.size());
                data.clear();
            }
        });
        data += kEndOfFile;
        write_at(out.get(), data.data(), data.size(), at, tmp);
        DbfHeader h = header_;
        h.reccount = live;
        const Date today = DATE();
        h.year = today.year(); h.month = today.month(); h.day = today.day();
        const std::string fixed = serialise_fixed_header(h);
        hbytes.replace(0, 32, fixed);
        write_at(out.get(), hbytes.data(), hbytes.size(), 0, tmp);
        if (::fsync(out.get()) != 0) fail(tmp, std::string("cannot sync: ") + std::strerror(errno));
        if (::rename(tmp.c_str(), path_.c_str()) != 0)
            fail(path_, std::string("cannot replace the table: ") + std::strerror(errno));
        map_.reset();
        wmap_.reset();
        fd_ = std::move(out);
        header_.reccount = reccount_ = live;
    } catch (...) {
        ::unlink(tmp.c_str());
        throw;
    }
    reindex();
}

}  // namespace qv::rt::table
