// Layouts as the files carry them: record lengths, field order, types and
// widths, and what CRIA writes.
#include <fstream>

#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/schemas.hpp"
#include "tables_fixture.hpp"

namespace qv::tables::testing {
namespace {

namespace tb = rt::table;

struct Expect {
    const char* name;
    char type;
    int len;
    int dec;
};

// The table created by CRIA, read back from disk.
class SchemaTest : public TablesTest {
protected:
    tb::Table& create_and_open(const std::string& code, const std::string& file) {
        EXPECT_TRUE(CRIA(code, client + file));
        return ws().use_in(90, client + file, {});
    }
    static void expect_prefix(const tb::Table& t, std::initializer_list<Expect> fields) {
        std::size_t i = 0;
        for (const Expect& e : fields) {
            ASSERT_LT(i, t.fields().size());
            const tb::Field& f = t.fields()[i];
            EXPECT_EQ(f.name, e.name) << "field " << i;
            EXPECT_EQ(f.type, e.type) << e.name;
            EXPECT_EQ(f.len, e.len) << e.name;
            EXPECT_EQ(f.dec, e.dec) << e.name;
            ++i;
        }
    }
    static std::string name_at(const tb::Table& t, std::size_t i) { return t.fields().at(i).name; }
};

TEST_F(SchemaTest, RecordLengthsOfTheTablesRecognisedByLength) {
    EXPECT_EQ(ws().use_in(90, (CRIA("07", client + "A07.DBF"), client + "A07.DBF"), {}).record_len(), 1494);
    EXPECT_EQ(ws().use_in(91, (CRIA("08", client + "A08.DBF"), client + "A08.DBF"), {}).record_len(), 216);
    EXPECT_EQ(ws().use_in(92, (CRIA("43", prog + "DEFINE.DBF"), prog + "DEFINE.DBF"), {}).record_len(), 336);
}

TEST_F(SchemaTest, WorkCopiesShareTheDeclarationLayout) {
    const auto a = schema_of(7), b = schema_of(27);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->size(), b->size());
    for (std::size_t i = 0; i < a->size(); ++i) EXPECT_EQ((*a)[i].name, (*b)[i].name);
}

TEST_F(SchemaTest, Imp0112InterleavesLines3And4UpToLine9) {
    tb::Table& t = create_and_open("01", "IMP0112.DBF");
    expect_prefix(t, {{"CPF", 'C', 11, 0},
                      {"I3_01", 'N', 12, 2},
                      {"I4_01", 'N', 12, 2},
                      {"I3_02", 'N', 12, 2},
                      {"I4_02", 'N', 12, 2}});
    EXPECT_EQ(name_at(t, 17), "I3_09");
    EXPECT_EQ(name_at(t, 18), "I4_09");
    EXPECT_EQ(name_at(t, 19), "I3_10");
    EXPECT_EQ(name_at(t, 25), "I3_16");
    EXPECT_EQ(name_at(t, 26), "I3_12D");
    const int i = t.field_index("CPFINVENT");
    ASSERT_GE(i, 0);
    EXPECT_EQ(t.fields()[static_cast<std::size_t>(i)].len, 11);
    EXPECT_EQ(t.fields().back().name, "NOVREG");
    EXPECT_EQ(t.fields().back().type, 'L');
}

TEST_F(SchemaTest, Imp0212MonthlyFieldsGoMonthByMonth) {
    tb::Table& t = create_and_open("02", "IMP0212.DBF");
    const int i = t.field_index("NEW");
    ASSERT_GE(i, 0);
    EXPECT_EQ(t.fields()[static_cast<std::size_t>(i)].type, 'L');
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(name_at(t, k + 1), "I1_401");
    EXPECT_EQ(name_at(t, k + 2), "I1_501");
    EXPECT_EQ(name_at(t, k + 3), "I1_601");
    EXPECT_EQ(name_at(t, k + 4), "I1_402");
    EXPECT_EQ(t.fields().back().name, "I1_612");
    const int r = t.field_index("I1_21");
    EXPECT_EQ(t.fields()[static_cast<std::size_t>(r)].len, 5);
    EXPECT_EQ(t.fields()[static_cast<std::size_t>(r)].dec, 1);
}

TEST_F(SchemaTest, Imp1212HasNinetyOneMonthlyCells) {
    tb::Table& t = create_and_open("12", "IMP1212.DBF");
    ASSERT_EQ(t.field_count(), 2 + 91);
    EXPECT_EQ(name_at(t, 1), "CPFDEPEN");
    EXPECT_EQ(name_at(t, 2), "I2_101");
    EXPECT_EQ(name_at(t, 8), "I2_701");
    EXPECT_EQ(name_at(t, 9), "I2_102");
    EXPECT_EQ(name_at(t, 92), "I2_713");
}

TEST_F(SchemaTest, Imp1512HerdFieldsGoActivityByActivity) {
    tb::Table& t = create_and_open("15", "IMP1512.DBF");
    const int i = t.field_index("I7_1A");
    ASSERT_GE(i, 0);
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(name_at(t, k + 4), "I7_1V1");
    EXPECT_EQ(name_at(t, k + 5), "I7_2A");
    EXPECT_EQ(name_at(t, k + 24), "I7_5V1");
    EXPECT_EQ(name_at(t, k + 25), "I7_V1");
    EXPECT_EQ(t.fields()[k + 25].len, 22);
    EXPECT_EQ(name_at(t, 2), "I3_01OR");
    EXPECT_EQ(name_at(t, 3), "I3_01OD");
}

TEST_F(SchemaTest, RegisterAndAssetWidths) {
    tb::Table& reg = create_and_open("09", "IMP0912.DBF");
    expect_prefix(reg, {{"CPF", 'C', 11, 0}, {"RETIFICA", 'C', 1, 0}, {"NOMECONTR", 'C', 53, 0}});
    EXPECT_EQ(reg.fields()[static_cast<std::size_t>(reg.field_index("SOMAG"))].type, 'C');
    EXPECT_EQ(reg.fields()[static_cast<std::size_t>(reg.field_index("INDGAS"))].dec, 2);
    EXPECT_EQ(reg.fields().back().name, "NOMEAG");
    ws().close(90);
    tb::Table& assets = create_and_open("04", "IMP0412.DBF");
    expect_prefix(assets, {{"CPF", 'C', 11, 0}, {"I7_0", 'N', 4, 0}, {"I7_1", 'N', 3, 0}, {"I7_2", 'C', 512, 0}});
    EXPECT_EQ(assets.fields()[static_cast<std::size_t>(assets.field_index("AREAIMO"))].dec, 1);
}

TEST_F(SchemaTest, BoletoCarriesItsDocumentNumberTwice) {
    tb::Table& t = create_and_open("67", "BOLETO.DBF");
    ASSERT_EQ(t.field_count(), 7);
    EXPECT_EQ(name_at(t, 0), "NRODOCUM");
    EXPECT_EQ(name_at(t, 3), "NRODOCUM");
    EXPECT_EQ(t.field_index("NRODOCUM"), 0);
}

TEST_F(SchemaTest, NewDefineHoldsTheDefaultRecord) {
    ASSERT_TRUE(CRIA("43", prog + "DEFINE.DBF"));
    tb::Table& t = ws().use_in(90, prog + "DEFINE.DBF", {});
    ASSERT_EQ(t.lastrec(), 1u);
    t.go_top();
    EXPECT_EQ(rt::DTOC(t.get("VCTO1").as_date()), "30/04/2012");
    EXPECT_EQ(rt::DTOC(t.get("VCTO3").as_date()), "29/06/2012");
    EXPECT_EQ(rt::DTOC(t.get("VCTO8").as_date()), "30/11/2012");
    EXPECT_DOUBLE_EQ(t.get("VAL_SEG").as_number(), 1.60);
    EXPECT_DOUBLE_EQ(t.get("VAL_MIN").as_number(), 60.0);
    EXPECT_DOUBLE_EQ(t.get("COMO_SAL").as_number(), 2);
    EXPECT_DOUBLE_EQ(t.get("TEMP_SAL").as_number(), 15);
    EXPECT_DOUBLE_EQ(t.get("VAL_DOLAR").as_number(), 1.8751);
    EXPECT_EQ(t.get("PROCESSA").as_string(), "S");
    EXPECT_EQ(t.get("PROGCOMP").as_string(), "S");
    EXPECT_EQ(rt::TRIM(t.get("SER_SMTP").as_string()), "");
    EXPECT_DOUBLE_EQ(t.get("BOL_NOSNRO").as_number(), 0);
}

TEST_F(SchemaTest, CodeWithoutLayoutIsReportedAndNotCreated) {
    EXPECT_FALSE(CRIA("46", "CODBENS.DBF"));
    EXPECT_FALSE(exists("CODBENS.DBF"));
    EXPECT_TRUE(term->showed("Arquivo CODBENS.DBF não localizado!"));
}

}  // namespace
}  // namespace qv::tables::testing
