// Damaged or foreign files: noticed at open or while reading, reported as
// CdxError naming the file, never a crash or an endless walk.
#include <gtest/gtest.h>
#include <filesystem>
#include <random>
#include "cdx_test_support.hpp"

namespace qv::rt::table {
namespace {

using namespace cdx_test;

class CdxCorrupt : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("people.cdx");
        std::filesystem::copy_file(fixture("people.cdx"), path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        bytes = read_file(path);
    }
    void save() {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void put32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    }
    void put16(std::size_t at, std::uint32_t v) {
        bytes[at] = static_cast<char>(v);
        bytes[at + 1] = static_cast<char>(v >> 8);
    }
    // Opens the file and walks every tag both ways; expects a CdxError that
    // names the file.
    void expect_error() {
        try {
            auto cdx = CdxFile::open(path);
            for (int tag = 0; tag < static_cast<int>(cdx->tags().size()); ++tag) {
                int steps = 0;
                for (auto p = cdx->first(tag); p && steps < 10000; p = cdx->next(tag, *p)) ++steps;
                steps = 0;
                for (auto p = cdx->last(tag); p && steps < 10000; p = cdx->prev(tag, *p)) ++steps;
                cdx->key_count(tag);
                cdx->insert(tag, std::string(60, 'Z'), 999);
            }
            ADD_FAILURE() << "no error";
        } catch (const CdxError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
    // The leaves of tag CPF (header 0x600): root 0xE00 over six leaves.
    static constexpr std::uint32_t kCpfRoot = 0xE00;
    static constexpr std::uint32_t kFirstLeaf = 0xA00;

    TempDir dir;
    std::string path;
    std::string bytes;
};

TEST_F(CdxCorrupt, IntactCopyReadsFine) {
    auto cdx = CdxFile::open(path);
    EXPECT_EQ(cdx->key_count(0), 200u);
}

TEST_F(CdxCorrupt, TooShortOrEmpty) {
    bytes.resize(1000);
    save();
    expect_error();
    bytes.clear();
    save();
    expect_error();
}

TEST_F(CdxCorrupt, TruncatedInsideTheTags) {
    bytes.resize(0x1000);
    save();
    expect_error();
}

TEST_F(CdxCorrupt, BadSignatures) {
    bytes[15] = 0;   // compound header
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    bytes[0x600 + 15] = 0x07;   // tag header
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    put16(0x600 + 12, 0);   // key length 0
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    put16(0x600 + 12, 300);   // key length beyond 240
    save();
    expect_error();
}

TEST_F(CdxCorrupt, PagesOutsideTheFile) {
    put32(0x600, 0x100000);   // root of CPF
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    put32(0x600, 0xE01);      // not on a page boundary
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    // Child offset of the root's first entry (big-endian, after the 11-byte key and record).
    bytes[kCpfRoot + 12 + 11 + 4] = 0x7F;
    save();
    expect_error();
}

TEST_F(CdxCorrupt, GarbagePages) {
    std::fill(bytes.begin() + kFirstLeaf, bytes.begin() + kFirstLeaf + 512, '\xFF');
    save();
    expect_error();
    std::mt19937 rng(99);
    for (int round = 0; round < 20; ++round) {
        bytes = read_file(fixture("people.cdx"));
        for (std::size_t i = kFirstLeaf; i < kFirstLeaf + 512; ++i) bytes[i] = static_cast<char>(rng());
        bytes[kFirstLeaf] = 2;   // still claims to be a leaf
        bytes[kFirstLeaf + 1] = 0;
        save();
        expect_error();
    }
}

TEST_F(CdxCorrupt, KeyCountBeyondThePage) {
    put16(kFirstLeaf + 2, 400);
    save();
    expect_error();
    bytes = read_file(fixture("people.cdx"));
    put16(kCpfRoot + 2, 40);   // interior: 40 entries of 19 bytes do not fit
    save();
    expect_error();
}

TEST_F(CdxCorrupt, CyclicSiblingLinks) {
    // The first leaf points back to itself on the right.
    put32(kFirstLeaf + 8, kFirstLeaf);
    save();
    expect_error();
}

// A child pointer a few bytes into the page another entry points at
// (read from the file just before) is no way to that page.
TEST_F(CdxCorrupt, ChildInsideAnotherPage) {
    auto be32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v = (v << 8) | static_cast<unsigned char>(bytes[at + b]);
        return v;
    };
    const std::size_t first = kCpfRoot + 12 + 15, second = first + 19;
    const std::uint32_t inside = be32(first) + 4;
    for (int b = 0; b < 4; ++b) bytes[second + b] = static_cast<char>((inside >> (8 * (3 - b))) & 0xFF);
    save();
    expect_error();
}

TEST_F(CdxCorrupt, ChildLoopsBackToTheRoot) {
    // Every entry of the CPF root points at the root itself.
    for (int i = 0; i < 6; ++i) {
        const std::size_t at = kCpfRoot + 12 + static_cast<std::size_t>(i) * 19 + 15;
        for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<char>((kCpfRoot >> (8 * (3 - b))) & 0xFF);
    }
    save();
    expect_error();
}

TEST_F(CdxCorrupt, FreeListIntoALiveTag) {
    put32(4, kFirstLeaf);   // the free list claims a leaf of CPF
    save();
    auto cdx = CdxFile::open(path);
    EXPECT_EQ(cdx->key_count(0), 200u);
    EXPECT_THROW(
        {
            for (int i = 0; i < 200; ++i) cdx->insert(0, "5555555" + std::to_string(1000 + i), 300 + i);
        },
        CdxError);
}

TEST_F(CdxCorrupt, MissingFile) {
    EXPECT_THROW(CdxFile::open(dir.file("none.cdx")), CdxError);
}

}  // namespace
}  // namespace qv::rt::table
