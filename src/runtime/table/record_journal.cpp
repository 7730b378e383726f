#include "runtime/table/record_journal.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

constexpr std::uint32_t kMagic = 0x314A5651;   // "QVJ1"
constexpr std::size_t kChecksumAt = 32;

void put_le(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t get_le(std::string_view s, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

// FNV-1a over the description (up to the checksum) and the two images.
std::uint64_t checksum(std::string_view e) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    auto add = [&h](std::string_view part) {
        for (unsigned char c : part) h = (h ^ c) * 0x100000001b3ULL;
    };
    add(e.substr(0, kChecksumAt));
    add(e.substr(RecordJournal::kEntryHead));
    return h;
}

// `now` is `after` up to a page boundary inside the record and `before` from
// there on: what a write cut between two pages leaves.
bool torn_mix(std::string_view now, std::string_view before, std::string_view after, std::int64_t offset) {
    if (now == before || now == after) return false;
    const auto end = offset + static_cast<std::int64_t>(now.size());
    for (std::int64_t b = (offset / RecordJournal::kPage + 1) * RecordJournal::kPage; b < end;
         b += RecordJournal::kPage) {
        const auto cut = static_cast<std::size_t>(b - offset);
        if (now.substr(0, cut) == after.substr(0, cut) && now.substr(cut) == before.substr(cut)) return true;
    }
    return false;
}

}  // namespace

// A slot held by a write lock on its byte of the sidecar. A free one is
// taken when there is one; when all are busy, this process waits for one
// of its own choosing (each is held only for one record write).
class RecordJournal::Slot {
public:
    Slot(int fd, pid_t owner) : fd_(fd) {
        for (int i = 0; i < kSlots; ++i)
            if (lock_range(fd_, i, 1, true, false)) {
                index_ = i;
                return;
            }
        index_ = static_cast<int>(owner % kSlots);
        if (!lock_range(fd_, index_, 1, true, true)) throw TableError("cannot lock a slot of the record journal");
    }
    ~Slot() { unlock_range(fd_, index_, 1); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    int index() const { return index_; }

private:
    int fd_;
    int index_ = 0;
};

RecordJournal::RecordJournal(std::string table_path, std::size_t header_len, std::size_t record_len)
    : table_path_(std::move(table_path)), path_(path_for(table_path_)), header_len_(header_len),
      record_len_(record_len) {}

std::string RecordJournal::path_for(const std::string& table_path) { return with_extension(table_path, ".jnl"); }

std::int64_t RecordJournal::slot_offset(int slot, std::size_t record_len) {
    const std::size_t size = (kEntryHead + 2 * record_len + 511) / 512 * 512;
    return static_cast<std::int64_t>(static_cast<std::size_t>(slot) * size);
}

std::string RecordJournal::entry(dev_t dev, ino_t ino, std::int64_t offset, std::string_view before,
                                 std::string_view after) {
    std::string e(kEntryHead, '\0');
    put_le(e, 0, kMagic, 4);
    put_le(e, 4, before.size(), 4);
    put_le(e, 8, static_cast<std::uint64_t>(offset), 8);
    put_le(e, 16, static_cast<std::uint64_t>(dev), 8);
    put_le(e, 24, static_cast<std::uint64_t>(ino), 8);
    e.append(before);
    e.append(after);
    put_le(e, kChecksumAt, checksum(e), 8);
    return e;
}

// A descriptor inherited through fork() shares its locks with the parent,
// so that the two would take the same slot: each process opens its own.
bool RecordJournal::open_sidecar(bool create) {
    if (fd_ && owner_ == ::getpid()) return true;
    fd_.reset(::open(path_.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666));
    owner_ = ::getpid();
    return static_cast<bool>(fd_);
}

int RecordJournal::recover(int table_fd, std::uint32_t reccount, const RecordLocks& locks) {
    if (!open_sidecar(false)) return 0;   // no sidecar: no record write was ever guarded here
    // One read tells the slots in use; only those are locked and read again
    // (each lock is a round trip to the server on a network folder).
    std::string all(static_cast<std::size_t>(slot_offset(kSlots, record_len_)), '\0');
    all.resize(read_at(fd_.get(), all.data(), all.size(), 0, path_));
    int repaired = 0;
    for (int i = 0; i < kSlots; ++i) {
        const auto at = static_cast<std::size_t>(slot_offset(i, record_len_));
        if (at + 4 > all.size() || get_le(all, at, 4) != kMagic) continue;
        if (repair_slot(i, table_fd, reccount, locks)) ++repaired;
    }
    return repaired;
}

void RecordJournal::remove_if_unused() {
    if (!fd_) return;
    std::string all(static_cast<std::size_t>(slot_offset(kSlots, record_len_)), '\0');
    all.resize(read_at(fd_.get(), all.data(), all.size(), 0, path_));
    for (int i = 0; i < kSlots; ++i) {
        const auto at = static_cast<std::size_t>(slot_offset(i, record_len_));
        if (at + 4 <= all.size() && get_le(all, at, 4) == kMagic) return;
    }
    ::unlink(path_.c_str());
    fd_.reset();
}

bool RecordJournal::repair_slot(int slot, int table_fd, std::uint32_t reccount, const RecordLocks& locks) {
    if (!lock_range(fd_.get(), slot, 1, true, false)) return false;   // its writer is still at work
    struct Unlock {
        int fd, slot;
        ~Unlock() { unlock_range(fd, slot, 1); }
    } unlock_slot{fd_.get(), slot};
    const std::int64_t at = slot_offset(slot, record_len_);
    std::string e(kEntryHead + 2 * record_len_, '\0');
    if (read_at(fd_.get(), e.data(), e.size(), at, path_) < e.size()) return false;
    if (get_le(e, 0, 4) != kMagic || get_le(e, 4, 4) != record_len_) return false;
    const std::string zero(4, '\0');
    auto clear = [&] { write_at(fd_.get(), zero.data(), zero.size(), at, path_); };
    if (get_le(e, kChecksumAt, 8) != checksum(e)) {
        clear();   // cut short itself: its record write had not begun
        return false;
    }
    const auto offset = static_cast<std::int64_t>(get_le(e, 8, 8));
    struct stat st;
    if (::fstat(table_fd, &st) != 0) return false;
    const auto first = static_cast<std::int64_t>(header_len_);
    const auto len = static_cast<std::int64_t>(record_len_);
    if (get_le(e, 16, 8) != static_cast<std::uint64_t>(st.st_dev) ||
        get_le(e, 24, 8) != static_cast<std::uint64_t>(st.st_ino) || offset < first || (offset - first) % len != 0 ||
        (offset - first) / len >= reccount) {
        clear();   // an entry of a file this table has replaced
        return false;
    }
    const auto recno = static_cast<std::uint32_t>((offset - first) / len + 1);
    if (!locks.take(recno)) return false;   // someone holds the record: a later open looks again
    struct Release {
        const RecordLocks& locks;
        std::uint32_t recno;
        ~Release() { locks.release(recno); }
    } release{locks, recno};
    const std::string_view before = std::string_view(e).substr(kEntryHead, record_len_);
    const std::string_view after = std::string_view(e).substr(kEntryHead + record_len_, record_len_);
    std::string now(record_len_, '\0');
    if (read_at(table_fd, now.data(), now.size(), offset, table_path_) < now.size()) return false;
    const bool torn = torn_mix(now, before, after, offset);
    if (torn) write_at(table_fd, after.data(), after.size(), offset, table_path_);
    clear();
    return torn;
}

void RecordJournal::write(int table_fd, std::int64_t offset, std::string_view data, std::size_t in_place) {
    const auto last = offset + static_cast<std::int64_t>(in_place) - 1;
    const bool crosses = in_place > 1 && offset / kPage != last / kPage;
    if (!crosses || !journal_write(table_fd, offset, data, in_place))
        write_at(table_fd, data.data(), data.size(), offset, table_path_);
}

// False, with nothing written to the table, when the sidecar cannot take the
// entry (a full disk, a folder that cannot be written): the record then goes
// out unguarded, as it would without the sidecar.
bool RecordJournal::journal_write(int table_fd, std::int64_t offset, std::string_view data, std::size_t in_place) {
    std::optional<Slot> slot;
    std::int64_t at = 0;
    const std::string zero(4, '\0');
    auto clear = [&]() noexcept {
        try {
            write_at(fd_.get(), zero.data(), zero.size(), at, path_);
        } catch (const TableError&) {
            // the entry stays; its record is old or new, which the next open leaves alone
        }
    };
    try {
        struct stat st;
        if (in_place != record_len_ || !open_sidecar(true) || ::fstat(table_fd, &st) != 0) return false;
        std::string before(in_place, '\0');
        if (read_at(table_fd, before.data(), in_place, offset, table_path_) < in_place) return false;
        slot.emplace(fd_.get(), owner_);
        at = slot_offset(slot->index(), record_len_);
        const std::string e = entry(st.st_dev, st.st_ino, offset, before, data.substr(0, in_place));
        write_at(fd_.get(), e.data(), e.size(), at, path_);
    } catch (const TableError&) {
        if (slot) clear();
        return false;
    }
    try {
        write_at(table_fd, data.data(), data.size(), offset, table_path_);
    } catch (...) {
        clear();
        throw;
    }
    clear();
    return true;
}

}  // namespace qv::rt::table
