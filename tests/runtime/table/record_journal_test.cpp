// A record rewrite cut between two pages by a kill, and what the next open
// makes of what it finds.
#include <sys/stat.h>

#include "runtime/table/file_lock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/record_journal.hpp"
#include "table_test_util.hpp"

namespace qv::rt::table::test {
namespace {

constexpr int kRecords = 60;

struct Layout {
    std::int64_t header = 0, len = 0;
    std::int64_t at(std::uint32_t r) const { return header + (r - 1) * len; }
};

Layout layout_of(const std::string& dbf) {
    const std::string h = read_file(dbf).substr(0, 12);
    auto le16 = [&](std::size_t i) { return std::int64_t(static_cast<unsigned char>(h[i]) | static_cast<unsigned char>(h[i + 1]) << 8); };
    return {le16(8), le16(10)};
}

std::string record_bytes(const std::string& dbf, std::int64_t at, std::int64_t len) {
    return read_file(dbf).substr(static_cast<std::size_t>(at), static_cast<std::size_t>(len));
}

void put_bytes(const std::string& path, std::int64_t at, const std::string& bytes) {
    FileHandle fd(::open(path.c_str(), O_RDWR | O_CREAT, 0666));
    write_at(fd.get(), bytes.data(), bytes.size(), at, path);
}

// The version `v` of a record: every field byte differs between versions.
std::string version(int v) { return " " + std::string(11, char('0' + v)) + std::string(80, char('a' + v)); }

class RecordJournalTest : public WorkspaceTest {
protected:
    void SetUp() override {
        WorkspaceTest::SetUp();
        table = dir.file("TORN.DBF");
        create_table(table, {{"CPF", 'C', 11, 0}, {"NOME", 'C', 80, 0}});
        Table& t = ws.use(table, OpenOptions{"", true, false, true});
        for (int i = 0; i < kRecords; ++i) {
            ASSERT_TRUE(t.append_blank());
            t.put("CPF", Value(std::string(11, '1')));
            t.put("NOME", Value(std::string(80, 'b')));
        }
        ws.close_all();
        lay = layout_of(table);
        // a record that a page boundary cuts well inside its fields
        for (std::uint32_t r = 1; r <= kRecords && !recno; ++r) {
            const std::int64_t cut = (lay.at(r) / 4096 + 1) * 4096 - lay.at(r);
            if (cut > 20 && cut < lay.len - 20) recno = r, split = static_cast<std::size_t>(cut);
        }
        ASSERT_NE(recno, 0u);
    }
    std::string now() const { return record_bytes(table, lay.at(recno), lay.len); }
    void open_and_close() {
        ws.use(table, OpenOptions{"", false, false, true});
        ws.close_all();
    }

    std::string table;
    Layout lay;
    std::uint32_t recno = 0;
    std::size_t split = 0;
};

struct TornCase {
    const char* what;
    int found;           // the record when the table is opened: 0 torn, else that version
    bool slot_held;      // a live writer holds the entry's slot
    bool bad_checksum;   // the entry was itself cut short
    bool other_file;     // the entry belongs to a file since replaced
    bool repaired;
};

TEST_F(RecordJournalTest, TheNextOpenCompletesOnlyARecordItsDeadWriterLeftTorn) {
    const std::string v1 = version(1), v2 = version(2);
    ASSERT_EQ(now(), v1);
    const std::string torn = v2.substr(0, split) + v1.substr(split);
    const TornCase cases[] = {
        {"torn by a kill", 0, false, false, false, true},
        {"writer still at work", 0, true, false, false, false},
        {"entry cut short", 0, false, true, false, false},
        {"entry of a replaced file", 0, false, false, true, false},
        {"rewritten since by another user", 3, false, false, false, false},
        {"write never began", 1, false, false, false, false},
        {"write ended", 2, false, false, false, false},
    };
    const std::string jnl = RecordJournal::path_for(table);
    for (const TornCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string found = c.found == 0 ? torn : version(c.found);
        put_bytes(table, lay.at(recno), found);
        struct stat st;
        ASSERT_EQ(::stat(table.c_str(), &st), 0);
        std::string e = RecordJournal::entry(st.st_dev, c.other_file ? st.st_ino + 1 : st.st_ino, lay.at(recno), v1, v2);
        if (c.bad_checksum) e.back() ^= 1;
        put_bytes(jnl, RecordJournal::slot_offset(5, static_cast<std::size_t>(lay.len)), e);
        FileHandle writer(::open(jnl.c_str(), O_RDWR));
        if (c.slot_held) {
            ASSERT_TRUE(lock_range(writer.get(), 5, 1, true, false));
        }
        open_and_close();
        EXPECT_EQ(now(), c.repaired ? v2 : found);
        if (!c.slot_held) continue;
        writer.reset();   // the writer dies: the next open finishes its work
        open_and_close();
        EXPECT_EQ(now(), v2);
    }
}

// Rewrites inside one page go straight to the table; one across a page goes
// through a slot, cleared once the record is written.
TEST_F(RecordJournalTest, OnlyRecordsAcrossAPageGoThroughTheSidecar) {
    const std::string jnl = RecordJournal::path_for(table);
    ASSERT_FALSE(file_exists(jnl));   // closing the table held exclusively took it away
    Table& t = ws.use(table, {});
    for (std::uint32_t r : {recno - 1, recno + 1}) {
        t.go_to(r);
        ASSERT_TRUE(t.rlock());
        t.put("CPF", Value(std::string(11, '7')));
        t.unlock();
    }
    EXPECT_FALSE(file_exists(jnl));
    t.go_to(recno);
    ASSERT_TRUE(t.rlock());
    t.put("NOME", Value(std::string(80, 'c')));
    t.unlock();
    ws.close_all();
    EXPECT_EQ(now(), " " + std::string(11, '1') + std::string(80, 'c'));
    ASSERT_TRUE(file_exists(jnl));
    const std::string sidecar = read_file(jnl);
    for (int s = 0; s < RecordJournal::kSlots; ++s) {
        const auto at = static_cast<std::size_t>(RecordJournal::slot_offset(s, static_cast<std::size_t>(lay.len)));
        if (at < sidecar.size()) {
            EXPECT_EQ(sidecar.substr(at, 4), std::string(4, '\0')) << "slot " << s;
        }
    }
}

}  // namespace
}  // namespace qv::rt::table::test
