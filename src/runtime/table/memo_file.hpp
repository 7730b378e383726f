#pragma once
// Memo files beside a table: FPT (FoxPro, 64-byte blocks, each memo with a
// type and length header) and DBT (dBase III, 512-byte blocks, text ended by
// 0x1A). The table's memo field holds the first block number.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/file_lock.hpp"
#include "runtime/table/share_signal.hpp"

namespace qv::rt::table {

class MemoFile {
public:
    // Opens an existing memo file; throws TableError when it is not one.
    static std::unique_ptr<MemoFile> open(const std::string& path, MemoKind kind, bool read_only);
    // Makes `fd` an empty memo file (whatever it held is cut away).
    static void create(int fd, const std::string& path, MemoKind kind);

    MemoKind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    int fd() const { return fd_.get(); }
    // The text of the memo starting at `block` (0 = none).
    std::string read(std::uint32_t block);
    // Stores `text` in new blocks (the old memo's blocks are left to PACK)
    // unless the old memo holds that text already; returns the first block,
    // 0 for an empty text (which takes no block).
    // A memo that would lie past the last block a pointer can name is
    // refused (TableError), the file left as it was.
    std::uint32_t write(std::string_view text, std::uint32_t old_block);
    // Empties the file (ZAP).
    void clear();

private:
    MemoFile(std::string path, MemoKind kind, FileHandle fd, std::uint32_t block_size);
    std::uint32_t blocks_for(std::size_t len) const;
    std::uint32_t first_block() const;
    bool holds(std::uint32_t block, std::string_view text);
    std::uint32_t next_free();
    void set_next_free(std::uint32_t b);
    std::string read_fpt(std::uint32_t block);
    std::string read_dbt(std::uint32_t block);

    std::string path_;
    MemoKind kind_;
    FileHandle fd_;
    OpenFileClaim claim_{fd_};
    std::uint32_t block_size_;
};

}  // namespace qv::rt::table
