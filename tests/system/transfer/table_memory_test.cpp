// Tables the transfer keeps in memory between taxpayers: what they answer,
// and answered again from the file once another terminal changed it or
// another client folder is in use.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "runtime/core/cp850.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/code_lookup.hpp"
#include "transfer/saved_activities.hpp"

namespace qv::transfer {
namespace {

using rt::operator""_cp;

class TableMemoryTest : public test_support::FoldersTest {
protected:
    void TearDown() override {
        tables::ws().close_all();
        forget_saved_activities();
        FoldersTest::TearDown();
    }
    // A row appended as another terminal would: opened, written, closed.
    static void save_row(int table, std::initializer_list<std::pair<const char*, const char*>> cells) {
        ASSERT_TRUE(tables::ABERTURA(table));
        rt::table::Table& t = *tables::ws().table(table);
        ASSERT_TRUE(t.append_blank());
        for (const auto& [field, value] : cells) t.put(field, rt::Value(value));
        t.commit();
        t.unlock();
        tables::ws().close(table);
    }
};

TEST_F(TableMemoryTest, SavedRuralRowsAreKnownPerTableAndActivity) {
    save_row(15, {{"CPF", "11144477735"}, {"ATV_BRASIL", "S"}});
    save_row(17, {{"CPF", "11144477735"}, {"ATV_BRASIL", "N"}});
    const std::pair<int, const char*> held[] = {{15, "11144477735S"}, {17, "11144477735N"}};
    const std::pair<int, const char*> not_held[] = {{15, "11144477735N"}, {15, "22233344405N"}, {17, "11144477735S"}};
    for (const auto& [table, key] : held) EXPECT_TRUE(saved_rows_may_exist(table, key)) << table << key;
    for (const auto& [table, key] : not_held) EXPECT_FALSE(saved_rows_may_exist(table, key)) << table << key;
    EXPECT_EQ(tables::ws().table(15), nullptr) << "the table is left closed";

    save_row(15, {{"CPF", "22233344405"}, {"ATV_BRASIL", "N"}});
    EXPECT_TRUE(saved_rows_may_exist(15, "22233344405N")) << "a row saved since";
    // A row changed in place at once: the file keeps its size, and its times
    // may keep the tick of the reading; a file written so lately is read again.
    ASSERT_TRUE(tables::ABERTURA(17));
    tables::ws().table(17)->go_top();
    ASSERT_TRUE(tables::ws().table(17)->rlock());
    tables::ws().table(17)->put("ATV_BRASIL", rt::Value("S"));
    tables::ws().table(17)->unlock();
    tables::ws().close(17);
    EXPECT_TRUE(saved_rows_may_exist(17, "11144477735S")) << "a row changed in place";
    std::filesystem::create_directories(root + "/other/");
    tables::set_client_folder(root + "/other/");
    EXPECT_FALSE(saved_rows_may_exist(15, "11144477735S")) << "another client folder";
}

TEST_F(TableMemoryTest, MunicipalitiesAndCountriesFromTheirLists) {
    const char* const municipalities[][3] = {{"Campinas", "SP", "6291"},   {"  campinas ", "sp", "6291"},
                                             {"Campinas", "RS", ""},       {"Campinas do Sul", "RS", "8575"},
                                             {"Nova Cidade", "SP", ""},    {"", "SP", ""}};
    for (const auto& m : municipalities) EXPECT_EQ(municipality_code(m[0], m[1]), m[2]) << m[0] << "/" << m[1];
    EXPECT_EQ(country_name(" 013 "), "Afeganistão"_cp);
    EXPECT_EQ(country_name("000"), "");

    save_row(64, {{"NOMEMUNI", "Nova Cidade"}, {"NROMUNI", "9999"}, {"UNIFED", "SP"}});
    EXPECT_EQ(municipality_code("NOVA CIDADE", "SP"), "9999") << "a row added to the list";
}

}  // namespace
}  // namespace qv::transfer
