// Structure upgrades: old layouts rebuilt with their records, current ones
// left alone, DEFINE's values kept.
#include <algorithm>
#include <filesystem>

#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/schemas.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace fs = std::filesystem;
namespace tb = rt::table;

class SchemaUpgradeTest : public TablesTest {
protected:
    // A table of an older layout with some records.
    void old_table(const std::string& path, const Structure& s,
                   const std::vector<std::vector<std::pair<std::string, rt::Value>>>& rows) {
        tb::create_table(path, s);
        tb::Workspace w;
        tb::Table& t = w.use_in(1, path, {});
        for (const auto& row : rows) {
            ASSERT_TRUE(t.append_blank());
            for (const auto& [name, v] : row) t.put(name, v);
        }
        t.commit();
        w.close_all();
    }
    static std::vector<std::string> leftovers(const std::string& folder) {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string n = e.path().filename().string();
            if (rt::UPPER(n).find("ACERTO") != std::string::npos) out.push_back(n);
        }
        return out;
    }
};

// DEFINE before the status lock and the e-mail fields existed.
Structure old_define() {
    Structure s;
    for (int k = 1; k <= 8; ++k) s.push_back({"VCTO" + std::to_string(k), 'D', 8, 0});
    s.push_back({"VAL_SEG", 'N', 5, 2});
    s.push_back({"VAL_MIN", 'N', 8, 2});
    s.push_back({"TEMP_SAL", 'N', 2, 0});
    s.push_back({"BOL_NOSNRO", 'N', 8, 0});
    s.push_back({"BOL_BANCO", 'C', 4, 0});
    return s;
}

TEST_F(SchemaUpgradeTest, DefineKeepsItsValuesAndNewFieldsTakeDefaults) {
    old_table(prog + "DEFINE.dbf", old_define(),
              {{{"VAL_SEG", rt::Value(2.25)},
                {"VAL_MIN", rt::Value(45.0)},
                {"TEMP_SAL", rt::Value(30)},
                {"BOL_NOSNRO", rt::Value(4711)},
                {"BOL_BANCO", rt::Value("0237")},
                {"VCTO1", rt::Value(rt::Date::from_ymd(2012, 4, 27))}}});
    ASSERT_TRUE(ABERTURA(43));
    ASSERT_NE(ws().table(43)->record_len(), 336);
    CORRECAO(43);
    tb::Table* t = ws().table(43);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->record_len(), 336);
    ASSERT_EQ(t->lastrec(), 1u);
    t->go_top();
    EXPECT_DOUBLE_EQ(t->get("BOL_NOSNRO").as_number(), 4711);   // the slip counter survives
    EXPECT_EQ(t->get("BOL_BANCO").as_string(), "0237");
    EXPECT_DOUBLE_EQ(t->get("VAL_SEG").as_number(), 2.25);
    EXPECT_DOUBLE_EQ(t->get("TEMP_SAL").as_number(), 30);
    EXPECT_EQ(rt::DTOC(t->get("VCTO1").as_date()), "27/04/2012");
    // Fields the old table lacked.
    EXPECT_DOUBLE_EQ(t->get("TEMP_DES").as_number(), 2);
    EXPECT_DOUBLE_EQ(t->get("VAL_DOLAR").as_number(), 1.8751);
    EXPECT_EQ(t->get("PROCESSA").as_string(), "S");
    EXPECT_DOUBLE_EQ(t->get("STATRAVA").as_number(), 0);
    EXPECT_TRUE(leftovers(prog).empty());
    EXPECT_FALSE(rt::variables().get("MOS_MENS").as_bool());
}

fs::perms permissions(const std::string& path) { return fs::status(path).permissions(); }

TEST_F(SchemaUpgradeTest, SettingsTablesAreForTheOfficesUsersOnly) {
    const std::pair<int, const char*> settings[] = {{42, "CONFIG.dbf"}, {43, "DEFINE.dbf"}, {56, "CORES.dbf"}, {57, "CONFIMP.dbf"}};
    for (const auto& [code, file] : settings) {
        ASSERT_TRUE(ABERTURA(code)) << file;
        ws().close(code);
        EXPECT_EQ(permissions(prog + file) & fs::perms::others_all, fs::perms::none) << file;
        EXPECT_NE(permissions(prog + file) & fs::perms::owner_read, fs::perms::none) << file;
    }
    // A table rewritten for a new layout keeps the permissions it had.
    old_table(prog + "DEFINE.dbf", old_define(), {{{"VAL_SEG", rt::Value(2.25)}}});
    fs::permissions(prog + "DEFINE.dbf", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    CORRECAO(43);
    ws().close(43);
    EXPECT_EQ(permissions(prog + "DEFINE.dbf"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SchemaUpgradeTest, CurrentDefineIsLeftAlone) {
    ASSERT_TRUE(ABERTURA(43));
    tb::Table* t = ws().table(43);
    ASSERT_TRUE(REC_LOCK(1));
    t->put("BOL_NOSNRO", rt::Value(12));
    t->unlock();
    EXPECT_FALSE(CORRIGE("43"));
    t = ws().table(43);
    ASSERT_NE(t, nullptr);
    t->go_top();
    EXPECT_DOUBLE_EQ(t->get("BOL_NOSNRO").as_number(), 12);
}

TEST_F(SchemaUpgradeTest, PaymentsWithoutAcerAreRebuiltAndCode22Becomes21) {
    Structure s = *schema_of(6);
    s.erase(std::remove_if(s.begin(), s.end(), [](const FieldSpec& f) { return f.name == "ACER"; }), s.end());
    old_table(client + "IMP0612.dbf", s,
              {{{"CPF", rt::Value("11111111111")}, {"I6_3", rt::Value(22)}, {"I6_4", rt::Value(100.5)}},
               {{"CPF", rt::Value("11111111111")}, {"I6_3", rt::Value(10)}, {"I6_401", rt::Value(3.25)}},
               {{"CPF", rt::Value("22222222222")}, {"I6_3", rt::Value(22)}}});
    // An index of the old file, which must not survive the rebuild.
    ASSERT_TRUE(ABERTURA(6));
    ws().close_all();

    EXPECT_TRUE(CORRIGE("06"));
    ASSERT_TRUE(ABERTURA(6));
    tb::Table& t = *ws().table(6);
    EXPECT_GE(t.field_index("ACER"), 0);
    EXPECT_EQ(t.lastrec(), 3u);
    EXPECT_TRUE(t.seek(rt::Value("1111111111121")));
    EXPECT_DOUBLE_EQ(t.get("I6_4").as_number(), 100.5);
    EXPECT_TRUE(t.seek(rt::Value("1111111111110")));
    EXPECT_DOUBLE_EQ(t.get("I6_401").as_number(), 3.25);
    EXPECT_TRUE(t.seek(rt::Value("2222222222221")));
    EXPECT_FALSE(t.seek(rt::Value("2222222222222")));
    EXPECT_TRUE(leftovers(client).empty());
}

TEST_F(SchemaUpgradeTest, CapitalGainsOfAnotherLengthGetTheNewFieldsEmpty) {
    Structure s = *schema_of(7);
    s.resize(20);   // up to DATA_ALI
    old_table(client + "IMP0712.dbf", s, {{{"CPF", rt::Value("33333333333")}, {"NOME_ADQ", rt::Value("Fulano")}}});
    CORRECAO(0);
    ASSERT_TRUE(ABERTURA(7));
    tb::Table& t = *ws().table(7);
    EXPECT_EQ(t.record_len(), 1494);
    ASSERT_TRUE(t.seek(rt::Value("33333333333")));
    EXPECT_EQ(rt::TRIM(t.get("NOME_ADQ").as_string()), "Fulano");
    EXPECT_DOUBLE_EQ(t.get("VAL_ALI").as_number(), 0);
    EXPECT_DOUBLE_EQ(t.get("REC_MES12").as_number(), 0);
}

TEST_F(SchemaUpgradeTest, CurrentTablesAreNotTouched) {
    ASSERT_TRUE(ABERTURA(9));
    ws().close_all();
    const auto before = fs::last_write_time(client + "IMP0912.dbf");
    EXPECT_FALSE(CORRIGE("09"));
    EXPECT_EQ(fs::last_write_time(client + "IMP0912.dbf"), before);
    EXPECT_FALSE(CORRIGE("02"));   // missing: created on first opening instead
    EXPECT_FALSE(exists(client + "IMP0212.dbf"));
}

TEST_F(SchemaUpgradeTest, TableInUseElsewhereStaysOldUntilNextTime) {
    Structure s = *schema_of(9);
    s.erase(std::remove_if(s.begin(), s.end(), [](const FieldSpec& f) { return f.name == "SOMAG"; }), s.end());
    old_table(client + "IMP0912.dbf", s, {{{"CPF", rt::Value("44444444444")}}});
    tb::Workspace other;
    other.use_in(1, client + "IMP0912.dbf", {});   // another terminal has it open
    EXPECT_FALSE(CORRIGE("09"));
    other.close_all();
    EXPECT_TRUE(CORRIGE("09"));
    ASSERT_TRUE(ABERTURA(9));
    tb::Table& t = *ws().table(9);
    EXPECT_GE(t.field_index("SOMAG"), 0);
    EXPECT_TRUE(t.seek(rt::Value("44444444444")));
    EXPECT_TRUE(leftovers(client).empty());
}

}  // namespace
}  // namespace qv::tables::testing
