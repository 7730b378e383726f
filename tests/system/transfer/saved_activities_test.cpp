// What a batch of transfers remembers of the saved rural tables: a table
// known not to hold an activity is not opened for it, and any change to the
// table's file, or another client folder, makes it read again.
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/saved_activities.hpp"

namespace qv::transfer {
namespace {

constexpr const char* kA = "11144477735";
constexpr const char* kB = "22233344405";

class SavedActivitiesTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        forget_saved_activities();
    }
    void TearDown() override {
        tables::ws().close_all();
        forget_saved_activities();
        FoldersTest::TearDown();
    }
    // Appends a row as another terminal would: the table opened, written
    // and closed again.
    static void save_row(int table, const char* cpf, const char* activity) {
        ASSERT_TRUE(tables::ABERTURA(table));
        rt::table::Table& t = *tables::ws().table(table);
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(cpf));
        t.put("ATV_BRASIL", rt::Value(activity));
        t.commit();
        t.unlock();
        tables::ws().close(table);
    }
};

TEST_F(SavedActivitiesTest, AnswersFromTheTableAsItStandsNow) {
    save_row(15, kA, "S");
    save_row(17, kA, "N");
    struct Ask {
        int table;
        std::string key;
        bool expected;
    };
    const auto ask_all = [](const char* when, const std::vector<Ask>& asks) {
        for (const auto& a : asks)
            EXPECT_EQ(saved_rows_may_exist(a.table, a.key), a.expected) << when << ": " << a.table << " " << a.key;
    };
    ask_all("first reading", {{15, std::string(kA) + "S", true},
                              {15, std::string(kA) + "N", false},
                              {15, std::string(kB) + "N", false},
                              {17, std::string(kA) + "N", true},
                              {17, std::string(kA) + "S", false}});
    EXPECT_EQ(tables::ws().table(15), nullptr) << "the table is left closed";

    save_row(15, kB, "N");
    ask_all("after another terminal saved a row", {{15, std::string(kB) + "N", true},
                                                   {15, std::string(kA) + "S", true},
                                                   {17, std::string(kB) + "N", false}});

    const std::string other = root + "/other/";
    std::filesystem::create_directories(other);
    tables::set_client_folder(other);
    ask_all("in another client folder", {{15, std::string(kA) + "S", false}, {15, std::string(kB) + "N", false}});
}

}  // namespace
}  // namespace qv::transfer
