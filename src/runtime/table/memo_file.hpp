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

namespace qv::rt::table {

class MemoFile {
public:
    // Opens an existing memo file; throws TableError when it is not one.
    static std::unique_ptr<MemoFile> open(const std::string& path, MemoKind kind, bool read_only);
    // Creates an empty memo file (replacing any file of that name).
    static void create(const std::string& path, MemoKind kind);

    MemoKind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    // The text of the memo starting at `block` (0 = none).
    std::string read(std::uint32_t block);
    // Stores `text`, reusing the old memo's blocks when it fits there;
    // returns the first block, 0 for an empty text (which takes no block).
    std::uint32_t write(std::string_view text, std::uint32_t old_block);
    // Empties the file (ZAP).
    void clear();

private:
    MemoFile(std::string path, MemoKind kind, FileHandle fd, std::uint32_t block_size);
    std::uint32_t blocks_for(std::size_t len) const;
    std::uint32_t first_block() const;
    std::uint32_t old_capacity(std::uint32_t block);
    std::uint32_t next_free();
    void set_next_free(std::uint32_t b);
    std::string read_fpt(std::uint32_t block);
    std::string read_dbt(std::uint32_t block);

    std::string path_;
    MemoKind kind_;
    FileHandle fd_;
    std::uint32_t block_size_;
};

}  // namespace qv::rt::table
