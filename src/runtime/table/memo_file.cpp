#include "runtime/table/memo_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

// Writers of the free-block pointer take the first byte, as the other xBase
// tools do, so that their memo writes and ours exclude each other.
constexpr std::int64_t kMemoLockByte = 0;
constexpr std::uint32_t kFptBlock = 64;
constexpr std::uint32_t kFptHeader = 1024;   // first data block 16
constexpr std::uint32_t kDbtBlock = 512;
// A memo longer than this is taken for a corrupt length.
constexpr std::uint32_t kMaxMemo = 64u * 1024 * 1024;

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}
void put_be32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24); p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);  p[3] = static_cast<unsigned char>(v);
}
void put_le32(unsigned char* p, std::uint32_t v) {
    p[3] = static_cast<unsigned char>(v >> 24); p[2] = static_cast<unsigned char>(v >> 16);
    p[1] = static_cast<unsigned char>(v >> 8);  p[0] = static_cast<unsigned char>(v);
}

// Serialises writers of the memo file's free-block pointer.
class MemoLock {
public:
    explicit MemoLock(int fd) : fd_(fd) { lock_range(fd_, kMemoLockByte, 1, true, true); }
    ~MemoLock() { unlock_range(fd_, kMemoLockByte, 1); }
    MemoLock(const MemoLock&) = delete;
    MemoLock& operator=(const MemoLock&) = delete;

private:
    int fd_;
};

}  // namespace

MemoFile::MemoFile(std::string path, MemoKind kind, FileHandle fd, std::uint32_t block_size)
    : path_(std::move(path)), kind_(kind), fd_(std::move(fd)), block_size_(block_size) {}

void MemoFile::create(int fd, const std::string& path, MemoKind kind) {
    if (::ftruncate(fd, 0) != 0) fail(path, std::string("cannot truncate: ") + std::strerror(errno));
    if (kind == MemoKind::Fpt) {
        unsigned char h[kFptHeader] = {};
        put_be32(h, kFptHeader / kFptBlock);
        put_be32(h + 4, kFptBlock);
        write_at(fd, h, sizeof h, 0, path);
    } else {
        unsigned char h[kDbtBlock] = {};
        put_le32(h, 1);
        put_le32(h + 4, kDbtBlock);
        h[16] = 0x03;   // dBase III
        write_at(fd, h, sizeof h, 0, path);
    }
}

std::unique_ptr<MemoFile> MemoFile::open(const std::string& path, MemoKind kind, bool read_only) {
    FileHandle fd(::open(path.c_str(), (read_only ? O_RDONLY : O_RDWR) | O_CLOEXEC));
    if (!fd) fail(path, std::string("cannot open memo file: ") + std::strerror(errno));
    unsigned char h[8] = {};
    if (read_at(fd.get(), h, 8, 0, path) < 8) fail(path, "memo file too short");
    std::uint32_t bs = kDbtBlock;
    if (kind == MemoKind::Fpt) {
        bs = be32(h + 4);
        if (bs == 0 || bs > 0x10000) bs = (std::uint32_t(h[6]) << 8) | h[7];
        if (bs < 32 || bs > 0x10000) fail(path, "memo file with a bad block size");
    }
    return std::unique_ptr<MemoFile>(new MemoFile(path, kind, std::move(fd), bs));
}

std::string MemoFile::read(std::uint32_t block) {
    if (block == 0) return {};
    return kind_ == MemoKind::Fpt ? read_fpt(block) : read_dbt(block);
}

std::string MemoFile::read_fpt(std::uint32_t block) {
    const std::int64_t off = std::int64_t(block) * block_size_;
    const std::int64_t size = file_size(fd_.get(), path_);
    unsigned char h[8];
    if (off + 8 > size || read_at(fd_.get(), h, 8, off, path_) < 8)
        fail(path_, "memo block " + std::to_string(block) + " beyond the end of the file");
    const std::uint32_t len = be32(h + 4);
    if (len > kMaxMemo || off + 8 + std::int64_t(len) > size)
        fail(path_, "memo at block " + std::to_string(block) + " is truncated or corrupt");
    std::string text(len, '\0');
    read_at(fd_.get(), text.data(), len, off + 8, path_);
    return text;
}

std::string MemoFile::read_dbt(std::uint32_t block) {
    const std::int64_t off = std::int64_t(block) * kDbtBlock;
    const std::int64_t size = file_size(fd_.get(), path_);
    if (off >= size)
        fail(path_, "memo block " + std::to_string(block) + " beyond the end of the file");
    std::string text;
    char buf[kDbtBlock];
    for (std::int64_t at = off; at < size; at += kDbtBlock) {
        const std::size_t got = read_at(fd_.get(), buf, kDbtBlock, at, path_);
        const void* eof = std::memchr(buf, 0x1A, got);
        if (eof) {
            text.append(buf, static_cast<std::size_t>(static_cast<const char*>(eof) - buf));
            return text;
        }
        text.append(buf, got);
        if (text.size() > kMaxMemo) break;
    }
    fail(path_, "memo at block " + std::to_string(block) + " has no end mark");
}

std::uint32_t MemoFile::first_block() const {
    if (kind_ == MemoKind::Dbt) return 1;
    return std::max<std::uint32_t>(1, (kFptHeader + block_size_ - 1) / block_size_);
}

std::uint32_t MemoFile::blocks_for(std::size_t len) const {
    const std::size_t bytes = kind_ == MemoKind::Fpt ? len + 8 : len + 1;
    return static_cast<std::uint32_t>((bytes + block_size_ - 1) / block_size_);
}

// Whether the memo at `block` holds `text` already.
bool MemoFile::holds(std::uint32_t block, std::string_view text) {
    if (block == 0) return false;
    try {
        return read(block) == text;
    } catch (const TableError&) {
        return false;
    }
}

std::uint32_t MemoFile::next_free() {
    unsigned char h[4];
    if (read_at(fd_.get(), h, 4, 0, path_) < 4) fail(path_, "memo file too short");
    std::uint32_t next = kind_ == MemoKind::Fpt ? be32(h) : le32(h);
    // Never trust a free pointer that falls inside the data already there.
    const std::int64_t size = file_size(fd_.get(), path_);
    const std::int64_t end_block = (size + block_size_ - 1) / block_size_;
    if (end_block > std::int64_t{UINT32_MAX}) fail(path_, "memo file full: no block number left");
    const std::uint32_t first = first_block();
    if (next < first) next = first;
    const auto end = static_cast<std::uint32_t>(end_block);
    if (kind_ == MemoKind::Fpt && next < end) next = end;
    if (kind_ == MemoKind::Dbt && next + 1 < end) next = end;
    return next;
}

void MemoFile::set_next_free(std::uint32_t b) {
    unsigned char h[4];
    if (kind_ == MemoKind::Fpt) put_be32(h, b); else put_le32(h, b);
    write_at(fd_.get(), h, 4, 0, path_);
}

std::uint32_t MemoFile::write(std::string_view text, std::uint32_t old_block) {
    if (text.empty()) return 0;
    if (text.size() > kMaxMemo) fail(path_, "memo too long");
    if (holds(old_block, text)) return old_block;
    MemoLock lock(fd_.get());
    // A memo always goes to new blocks, never over its old ones: until the
    // record points at it, a crash leaves the record with its old memo whole.
    const std::uint32_t need = blocks_for(text.size());
    const std::uint32_t block = next_free();
    if (std::uint64_t(block) + need > UINT32_MAX)
        fail(path_, "memo file full: no block number left for a memo of " + std::to_string(text.size()) +
                        " bytes");
    std::string bytes;
    if (kind_ == MemoKind::Fpt) {
        bytes.assign(std::size_t(need) * block_size_, '\0');
        auto* p = reinterpret_cast<unsigned char*>(bytes.data());
        put_be32(p, 1);
        put_be32(p + 4, static_cast<std::uint32_t>(text.size()));
        std::memcpy(bytes.data() + 8, text.data(), text.size());
    } else {
        bytes.assign(text);
        bytes += "\x1A\x1A";
    }
    // The data goes first, the free pointer after it: a crash in between
    // leaves unused blocks, never a pointer to missing data.
    write_at(fd_.get(), bytes.data(), bytes.size(), std::int64_t(block) * block_size_, path_);
    set_next_free(block + need);
    return block;
}

void MemoFile::clear() {
    MemoLock lock(fd_.get());
    const std::uint32_t first = first_block();
    if (::ftruncate(fd_.get(), std::int64_t(first) * block_size_) != 0)
        fail(path_, std::string("cannot truncate: ") + std::strerror(errno));
    set_next_free(first);
}

}  // namespace qv::rt::table
