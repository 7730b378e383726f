// ZAP and PACK: the operations that rewrite a whole table.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/core/clock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_set.hpp"
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

void Table::refill(const std::vector<std::string>& records) {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "refilling needs the table opened exclusively");
    if (memo_) fail(path_, "a table with memo fields cannot be refilled");
    const std::size_t len = static_cast<std::size_t>(header_.record_len);
    std::string bytes;
    bytes.reserve(records.size() * len + 1);
    for (const std::string& r : records) {
        if (r.size() != len) fail(path_, "refill: a record of another length");
        bytes += r;
    }
    bytes += kEndOfFile;
    dirty_ = false;
    is_new_ = false;
    orig_.clear();
    // The count goes to zero first, so that a process killed half way
    // leaves an empty table rather than one counting records it lacks.
    write_count(0);
    write_at(fd_.get(), bytes.data(), bytes.size(), header_.header_len, path_);
    // Cutting a file is a journal entry of its own: only when the length changes.
    const auto size = static_cast<off_t>(header_.header_len + bytes.size());
    if (file_size(fd_.get(), path_) != size && ::ftruncate(fd_.get(), size) != 0)
        fail(path_, std::string("cannot truncate: ") + std::strerror(errno));
    // The header stays, so the mappings do: only what is read is bounded.
    map_.shrink_to(header_.header_len + bytes.size());
    write_count(static_cast<std::uint32_t>(records.size()));
    rebuild_bags(false);
    go_top();
}

namespace {

// The memo pointer of field f in a record: ten digits, or four bytes in the
// binary form of later versions.
void set_memo_pointer(std::string& rec, const Field& f, std::uint32_t block) {
    char* at = rec.data() + f.offset;
    if (f.len == 4) {
        std::memcpy(at, &block, 4);
        return;
    }
    std::string ptr = block == 0 ? std::string() : std::to_string(block);
    if (ptr.size() > static_cast<std::size_t>(f.len)) throw TableError("memo block number too large");
    ptr.insert(0, static_cast<std::size_t>(f.len) - ptr.size(), ' ');
    std::memcpy(at, ptr.data(), ptr.size());
}

}  // namespace

// The live records go to a new file beside the table, their memos to a new
// memo file and their keys to new index files (every bag open on the
// table); only then do the new files replace the old ones, together (see
// replace_set.hpp): a crash leaves the old set or the new one.
void Table::pack() {
    if (read_only_) fail(path_, "table opened read-only");
    if (!exclusive_) fail(path_, "PACK needs the table opened exclusively");
    flush();
    for (const auto& b : bags_)
        for (const Tag& t : b->tags)
            if (!t.unusable.empty()) fail(path_, "PACK cannot rebuild index tag " + t.info.name + ": " + t.unusable);
    const std::string tmp = aside_name(path_, ".pk~");
    const std::string memo_tmp = memo_ ? aside_name(memo_->path(), ".pm~") : std::string();
    std::vector<std::string> bag_tmps;
    for (std::size_t i = 0; i < bags_.size(); ++i) bag_tmps.push_back(aside_name(bags_[i]->path, (".c" + std::to_string(i) + "~").c_str()));
    auto drop_all = [&] {
        ::unlink(tmp.c_str());
        if (!memo_tmp.empty()) ::unlink(memo_tmp.c_str());
        for (const auto& b : bag_tmps) ::unlink(b.c_str());
    };
    FileHandle out(::open(tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out) fail(tmp, std::string("cannot create: ") + std::strerror(errno));
    std::uint32_t live = 0;
    try {
        if (!take_share_signal(out.get(), true)) fail(tmp, "cannot lock the new file");
        std::unique_ptr<MemoFile> memo_out;
        if (memo_) {
            FileHandle memo_fd(::open(memo_tmp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
            if (!memo_fd) fail(memo_tmp, std::string("cannot create: ") + std::strerror(errno));
            MemoFile::create(memo_fd.get(), memo_tmp, memo_->kind());
            memo_out = MemoFile::open(memo_tmp, memo_->kind(), false);
        }
        std::vector<std::vector<Tag*>> tags(bags_.size());
        std::vector<std::vector<KeyBlock>> keys(bags_.size());
        for (std::size_t i = 0; i < bags_.size(); ++i) {
            for (Tag& t : bags_[i]->tags) tags[i].push_back(&t);
            keys[i].resize(tags[i].size());
            for (std::size_t j = 0; j < tags[i].size(); ++j) {
                const TagInfo& info = tags[i][j]->info;
                keys[i][j].width = info.type == KeyType::Character ? static_cast<std::size_t>(std::clamp(info.key_len, 1, 240))
                                   : info.type == KeyType::Logical ? 1 : 8;
            }
        }
        std::string hbytes(header_.header_len, '\0');
        read_at(fd_.get(), hbytes.data(), hbytes.size(), 0, path_);
        std::string data;
        std::int64_t at = header_.header_len;
        scan_all([&](std::uint32_t) {
            if (buf_[0] == '*') return;
            ++live;
            if (memo_out)
                for (const Field& f : header_.fields)
                    if (f.type == 'M') {
                        const std::uint32_t old = memo_block(f);
                        set_memo_pointer(buf_, f, old == 0 ? 0 : memo_out->write(memo_->read(old), 0));
                    }
            for (std::size_t i = 0; i < bags_.size(); ++i) add_keys(keys[i], tags[i], live);
            data += buf_;
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
        memo_out.reset();
        if (!memo_tmp.empty()) {
            FileHandle m(::open(memo_tmp.c_str(), O_RDONLY | O_CLOEXEC));
            if (!m || ::fsync(m.get()) != 0) fail(memo_tmp, std::string("cannot sync: ") + std::strerror(errno));
        }
        for (std::size_t i = 0; i < bags_.size(); ++i) {
            std::vector<TagInfo> infos;
            for (const Tag* t : tags[i]) infos.push_back(t->info);
            try {
                CdxFile::write_new(bag_tmps[i], infos, std::move(keys[i]));
                FileHandle b(::open(bag_tmps[i].c_str(), O_RDONLY | O_CLOEXEC));
                if (!b || ::fsync(b.get()) != 0) fail(bag_tmps[i], std::string("cannot sync: ") + std::strerror(errno));
            } catch (const CdxError& e) {
                throw TableError(e.what());
            }
        }
        std::vector<Rename> renames;
        for (std::size_t i = 0; i < bags_.size(); ++i) renames.push_back({bag_tmps[i], bags_[i]->path});
        if (memo_) renames.push_back({memo_tmp, memo_->path()});
        renames.push_back({tmp, path_});
        replace_together(path_, renames);
    } catch (...) {
        drop_all();
        throw;
    }
    map_.reset();
    wmap_.reset();
    fd_ = std::move(out);
    header_.reccount = reccount_ = live;
    if (memo_) memo_ = MemoFile::open(memo_->path(), memo_->kind(), false);
    for (auto& b : bags_) reopen_bag(*b);
    go_top();
}

}  // namespace qv::rt::table
