// Opening tables that are damaged, cannot be created or lie in folders with
// accented names; the indexes of a packed table.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace fs = std::filesystem;
namespace tb = rt::table;

class OpenRepairTest : public OpenTablesTest {
protected:
    tb::Table& register_table() { return area(9); }
    // Three taxpayers, the first deleted.
    void three_taxpayers() {
        ASSERT_TRUE(ABERTURA(9));
        add_register_row("11111111111", "Alice", 1);
        add_register_row("22222222222", "Bruno", 2);
        add_register_row("33333333333", "Carla", 7);
        tb::Table& t = register_table();
        t.set_order(0);
        t.go_to(1);
        ASSERT_TRUE(REC_LOCK(1));
        t.delete_record();
        t.unlock();
        ws().close_all();
    }
    // The CPF found by a seek through `order`.
    std::string found_by(int order, const rt::Value& key) {
        tb::Table& t = register_table();
        t.set_order(order);
        return t.seek(key) ? t.get("CPF").as_string() : std::string("(none)");
    }
    static std::string bytes_of(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(OpenRepairTest, PackForAMissingMainIndexRebuildsEveryOtherIndex) {
    three_taxpayers();
    fs::remove(client + "IMP0912.cdx");
    ASSERT_TRUE(ABERTURA(9));
    EXPECT_EQ(register_table().lastrec(), 2u);
    EXPECT_EQ(found_by(1, rt::Value("22222222222")), "22222222222");
    EXPECT_EQ(found_by(2, rt::Value("CARLA")), "33333333333");
    EXPECT_EQ(found_by(2, rt::Value("BRUNO")), "22222222222");
    EXPECT_EQ(found_by(3, rt::Value(7)), "33333333333");
    EXPECT_EQ(found_by(3, rt::Value(2)), "22222222222");
    EXPECT_EQ(found_by(3, rt::Value(1)), "(none)");
}

TEST_F(OpenRepairTest, DamagedIndexFileIsRebuiltAndTheOpeningGoesOn) {
    for (const char* file : {"IMP0912.cdx", "IMP0912B.cdx", "IMP0912C.cdx"}) {
        SCOPED_TRACE(file);
        ws().close_all();
        fs::remove_all(client);
        fs::create_directories(client);
        three_taxpayers();
        std::ofstream(client + file, std::ios::binary | std::ios::trunc) << std::string(600, '\x7F');
        ASSERT_TRUE(ABERTURA(9));
        EXPECT_EQ(last_open_failure().fault, OpenFault::None);
        // Nothing packed: a damaged index is no reason to drop records.
        EXPECT_EQ(register_table().lastrec(), 3u);
        EXPECT_EQ(found_by(1, rt::Value("33333333333")), "33333333333");
        EXPECT_EQ(found_by(2, rt::Value("BRUNO")), "22222222222");
        EXPECT_EQ(found_by(3, rt::Value(7)), "33333333333");
    }
}

TEST_F(OpenRepairTest, DamagedTableIsNamedAndLeftAsItWas) {
    const std::string file = client + "IMP0312.dbf";
    std::ofstream(file, std::ios::binary) << std::string(40, '\x03');
    const std::string before = bytes_of(file);
    EXPECT_FALSE(ABERTURA(3));
    EXPECT_EQ(last_open_failure().fault, OpenFault::Damaged);
    EXPECT_FALSE(failed_in_use());
    const std::string text = rt::cp850_to_utf8(open_failure_text());
    EXPECT_NE(text.find("IMP0312"), std::string::npos) << text;
    EXPECT_NE(text.find("danificado"), std::string::npos) << text;
    EXPECT_EQ(bytes_of(file), before);
    EXPECT_FALSE(exists(client + "IMP0312.cdx"));
}

// A new table appears whole, so a table file of no bytes lost what it
// held: one of the office's is named as damaged and kept for repair (made
// again empty, its rows would vanish without a word); a reference table is
// made again from the delivered lists.
TEST_F(OpenRepairTest, EmptiedTableFileIsDamagedUnlessItIsAReferenceTable) {
    std::ofstream(client + "IMP0612.dbf", std::ios::binary).flush();
    EXPECT_FALSE(ABERTURA(6));
    EXPECT_EQ(last_open_failure().fault, OpenFault::Damaged);
    EXPECT_NE(rt::cp850_to_utf8(open_failure_text()).find("IMP0612"), std::string::npos);
    EXPECT_EQ(fs::file_size(client + "IMP0612.dbf"), 0u) << "kept for repair";
    ASSERT_TRUE(ABERTURA(46));
    std::string name = area(46).path();
    ws().close_all();
    fs::resize_file(name, 0);
    ASSERT_TRUE(ABERTURA(46));
    EXPECT_GT(area(46).lastrec(), 0u) << "the delivered list again";
}

TEST_F(OpenRepairTest, TableThatCannotBeCreatedIsAFailure) {
    rt::variables().set("LOCARQ", rt::Value(root + "/gone/"));
    EXPECT_FALSE(ABERTURA(3));
    EXPECT_EQ(ws().table(3), nullptr);
    EXPECT_NE(last_open_failure().fault, OpenFault::None);
    EXPECT_NE(rt::cp850_to_utf8(open_failure_text()).find("IMP0312.dbf"), std::string::npos);
}

TEST_F(OpenRepairTest, FolderTheUserMayNotWriteIsSaid) {
    const std::string locked = root + "/somente-leitura";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_TRUE(unwritable_folder_text(prog).empty());
    // Root writes anywhere: the check runs as an ordinary user.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::getuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
        const std::string text = rt::cp850_to_utf8(unwritable_folder_text(locked));
        ::_exit(text.find("somente-leitura") != std::string::npos && text.find("grava") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(OpenRepairTest, TablesOpenInAFolderWithAccents) {
    const std::string utf8 = root + "/declarações/";
    fs::create_directories(utf8);
    rt::variables().set("LOCARQ", rt::Value(rt::utf8_to_cp850(utf8)));
    ASSERT_TRUE(ABERTURA(9));
    add_register_row("44444444444", "Joana", 2);
    ws().close_all();
    EXPECT_TRUE(exists(utf8 + "IMP0912.dbf"));
    EXPECT_TRUE(exists(utf8 + "IMP0912B.cdx"));
    fs::remove(utf8 + "IMP0912.cdx");
    ASSERT_TRUE(ABERTURA(9));
    EXPECT_EQ(found_by(2, rt::Value("JOANA")), "44444444444");
    for (const auto& e : fs::directory_iterator(root))
        EXPECT_EQ(e.path().filename().string().find('\xC6'), std::string::npos) << "a folder named in CP850";
}

}  // namespace
}  // namespace qv::tables::testing
