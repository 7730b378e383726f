// Index files of a table replaced whole: a bag is written under a new name
// in the table's folder and renamed over the old one, so that a crash leaves
// either the old file or the new. And the check made when a bag is opened:
// a bag left damaged (an update that did not finish) or out of step with
// its table (entries for records that are not there, keys missing) is
// rebuilt, and the application is told.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_set.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

namespace {

std::function<void(const std::string&)>& rebuild_notice() {
    static std::function<void(const std::string&)> notice;
    return notice;
}

// What a bag and its table looked like when their entries were last found
// in step. Counting every entry of a big index costs more than the rest of
// an opening, and a table opened again and again (one declaration after
// another) is most often unchanged since. Every change of the entries moves
// the bag's change counter (every writer moves it before its first page)
// or its free list; every record added or taken away moves the table's
// count and size; the times are kept too, for writers that move neither.
// What counting finds wrong (entries for records that are not there, keys
// missing) always moves one of these.
struct StepStamp {
    std::uint64_t bag_size = 0, table_size = 0;
    std::int64_t bag_sec = 0, bag_nsec = 0, table_sec = 0, table_nsec = 0;
    std::uint32_t reccount = 0;
    char marks[8] = {};   // free list head and change counter
    bool operator==(const StepStamp&) const = default;
};

using BagIdentity = std::pair<std::uint64_t, std::uint64_t>;   // device, inode

std::map<BagIdentity, StepStamp>& found_in_step() {
    static std::map<BagIdentity, StepStamp> stamps;
    return stamps;
}

std::optional<std::pair<BagIdentity, StepStamp>> step_stamp(int bag_fd, int table_fd, std::uint32_t reccount) {
    struct stat b {}, t {};
    if (::fstat(bag_fd, &b) != 0 || ::fstat(table_fd, &t) != 0) return std::nullopt;
    StepStamp s;
    if (read_at(bag_fd, s.marks, sizeof s.marks, 4, "index") < sizeof s.marks) return std::nullopt;
    s.bag_size = static_cast<std::uint64_t>(b.st_size);
    s.table_size = static_cast<std::uint64_t>(t.st_size);
    s.bag_sec = b.st_mtim.tv_sec;
    s.bag_nsec = b.st_mtim.tv_nsec;
    s.table_sec = t.st_mtim.tv_sec;
    s.table_nsec = t.st_mtim.tv_nsec;
    s.reccount = reccount;
    return std::pair{BagIdentity{b.st_dev, b.st_ino}, s};
}

}  // namespace

void set_index_rebuild_notice(std::function<void(const std::string& bag_path)> notice) {
    rebuild_notice() = std::move(notice);
}

std::string Table::aside_name(const std::string& path, const char* ext) const {
    return folder_of(path) + stem_of(path) + "." + std::to_string(::getpid()) + ext;
}

// Every tag without FOR or UNIQUE holds one key per record. On a shared
// table a key may be missing for a while only: a record being appended
// gets its keys when it is first written, and its writer holds it locked
// (or the whole table) until then. So the keys are counted against the
// records only while no one appends (the append lock is free), and keys
// found missing are taken for damage only while nobody holds a record.
Table::BagStep Table::bag_step(Bag& bag) {
    try {
        if (bag.cdx->interrupted()) return BagStep::OutOfStep;
        refresh_header();
        bool quiet = exclusive_;
        if (!quiet) quiet = lock_range(fd_.get(), kHeaderLockByte, 1, true, false);
        struct Release {
            Table& t;
            bool held;
            ~Release() {
                if (held) unlock_range(t.fd_.get(), kHeaderLockByte, 1);
            }
        } release{*this, quiet && !exclusive_};
        if (quiet) refresh_header();
        const auto stamp = quiet ? step_stamp(bag.cdx->fd(), fd_.get(), reccount_) : std::nullopt;
        if (stamp) {
            const auto known = found_in_step().find(stamp->first);
            if (known != found_in_step().end() && known->second == stamp->second) return BagStep::InStep;
        }
        bool missing = false;
        for (std::size_t i = 0; i < bag.tags.size(); ++i) {
            const TagInfo& info = bag.tags[i].info;
            if (!bag.tags[i].unusable.empty()) continue;
            const auto sum = bag.cdx->summarize(static_cast<int>(i));
            if (sum.count > 0 && (sum.lowest == 0 || sum.highest > reccount_)) return BagStep::OutOfStep;
            if (!info.for_expr.empty() || info.unique) continue;
            if (sum.count > reccount_) return BagStep::OutOfStep;
            missing = missing || sum.count < reccount_;
        }
        if (!quiet) return BagStep::Unknown;
        if (missing) return records_locked_elsewhere(bag) ? BagStep::Unknown : BagStep::OutOfStep;
        if (stamp) found_in_step()[stamp->first] = stamp->second;
        return BagStep::InStep;
    } catch (const CdxError&) {
        return BagStep::OutOfStep;
    }
}

// Another user (or another work area) holds a record of the table, or the
// whole table: a record of theirs may be waiting for its keys.
bool Table::records_locked_elsewhere(const Bag& bag) const {
    if (exclusive_ || reccount_ == 0) return false;
    if (bag.structural || cdx_lock_scheme_) return range_locked_elsewhere(fd_.get(), kCdxRecordBase - reccount_, reccount_);
    return range_locked_elsewhere(fd_.get(), kPlainRecordBase + header_.header_len,
                                  std::int64_t(reccount_) * header_.record_len);
}

bool Table::read_marks(Bag& bag, char* out) {
    return bag.marks.read(bag.cdx->fd(), 4, out, 8) || read_at(bag.cdx->fd(), out, 8, 4, bag.path) == 8;
}

// The bag is in step with the records as they are now; the changes this
// user makes from here on keep it so, as long as nobody else writes it.
void Table::known_in_step(Bag& bag) {
    bag.in_step = read_marks(bag, bag.step_marks);
    bag.step_reccount = reccount_;
    bag.step_appends = own_appends_;
}

// What this user leaves is known in step when every change since it was
// last found so was its own (the bag's change marks are where its last
// update left them, and the records are those it counted and added): the
// next opening need not count it again. A table held alone has had no
// other writer. A change whose keys failed leaves the update mark, which
// an opening looks at first.
void Table::remember_bags_in_step() noexcept {
    if (read_only_) return;
    try {
        if (!exclusive_) refresh_header();
        for (auto& b : bags_) {
            if (std::any_of(b->tags.begin(), b->tags.end(), [](const Tag& t) { return !t.unusable.empty(); }))
                continue;   // tags this runtime cannot keep up
            if (b->cdx->interrupted()) continue;
            if (!exclusive_) {
                char now[8];
                if (!b->in_step || !read_marks(*b, now) || std::memcmp(now, b->step_marks, 8) != 0) continue;
                if (reccount_ != b->step_reccount + (own_appends_ - b->step_appends)) continue;
            }
            if (const auto stamp = step_stamp(b->cdx->fd(), fd_.get(), reccount_))
                found_in_step()[stamp->first] = stamp->second;
        }
    } catch (...) {
        // nothing is remembered: the next opening counts
    }
}

void Table::repair_bag_if_needed(Bag& bag) {
    if (read_only_) return;
    {
        BagLock lock(*this, bag, true);
        const BagStep step = bag_step(bag);
        if (step == BagStep::Unknown) return;
        if (step == BagStep::InStep) {
            known_in_step(bag);
            return;
        }
        for (const Tag& t : bag.tags)
            if (!t.unusable.empty()) return;   // cannot be built here: left as it is
        if (rebuild_notice()) rebuild_notice()(bag.path);
        std::vector<TagInfo> infos;
        std::vector<Tag*> tags;
        for (Tag& t : bag.tags) {
            infos.push_back(t.info);
            tags.push_back(&t);
        }
        auto keys = collect_keys(tags);
        if (exclusive_) {
            build_bag_aside(bag, infos, std::move(keys));
        } else {
            // Others have the file open: it is rebuilt in place, under the
            // index lock, and they read it again when they see its change
            // counter move.
            try {
                bag.cdx->rebuild(infos, std::move(keys));
            } catch (const CdxError& e) {
                throw TableError(e.what());
            }
        }
    }
    known_in_step(bag);
}

// Writes the whole bag under a new name, then renames it over the old one.
void Table::build_bag_aside(Bag& bag, const std::vector<TagInfo>& infos, std::vector<KeyBlock> keys) {
    const std::string tmp = aside_name(bag.path, ".cx~");
    try {
        CdxFile::write_new(tmp, infos, std::move(keys));
    } catch (const CdxError& e) {
        ::unlink(tmp.c_str());
        throw TableError(e.what());
    }
    install_bag(bag, tmp);
}

// INDEX ON in exclusive use: the new tag goes into a copy of the bag (its
// other tags kept page for page), which then replaces it.
void Table::add_tag_aside(Bag& bag, const TagInfo& info, KeyBlock keys) {
    const std::string tmp = aside_name(bag.path, ".cx~");
    try {
        bag.cdx->flush();
        std::filesystem::copy_file(bag.path, tmp, std::filesystem::copy_options::overwrite_existing);
        {
            auto copy = CdxFile::open(tmp);
            copy->build_tag_from(info, std::move(keys));
        }
    } catch (const std::exception& e) {
        ::unlink(tmp.c_str());
        throw TableError(e.what());
    }
    install_bag(bag, tmp);
}

// `built` (a complete bag beside the old one) takes the old one's name.
void Table::install_bag(Bag& bag, const std::string& built) {
    keep_permissions(built, bag.path);
    if (::rename(built.c_str(), bag.path.c_str()) != 0) {
        const int err = errno;
        ::unlink(built.c_str());
        fail(bag.path, std::string("cannot replace the index: ") + std::strerror(err));
    }
    reopen_bag(bag);
}

void Table::reopen_bag(Bag& bag) {
    bag.write_lock.give_back();
    bag.cdx.reset();
    bag.marks.reset();
    bag.seen_valid = false;
    try {
        bag.cdx = CdxFile::open(bag.path, read_only_);
    } catch (const CdxError& e) {
        throw TableError(e.what());
    }
    bag.tags.clear();
    for (const TagInfo& info : bag.cdx->tags()) bag.tags.push_back(make_tag(info));
    correct_key_types(bag);
    remember_tags(bag.path, bag.cdx->tags());
    cur_key_.reset();
}

}  // namespace qv::rt::table
