// The terminal's CORES and CONFIG records: defaults for a new terminal,
// existing records kept, unreadable colours falling back.
#include <gtest/gtest.h>

#include <fstream>

#include "common/globals.hpp"
#include "common/startup.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "system/startup/startup_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/settings_records.hpp"

namespace qv::common {
namespace {

using tables::CONFIGURA;
using tables::CRIACOR;

namespace tb = rt::table;

class StartupRecords : public startup_testing::StartupTest {
protected:
    // Sets the program variables INICIOSIS would have filled.
    void program_folder(const std::string& terminal) {
        Global{"ARQDEF"}.set(rt::Value(prog));
        Global{"ROTADEF"}.set(rt::Value(prog.substr(0, prog.size() - 1)));
        Global{"DIRDEF"}.set(rt::Value(prog));
        Global{"NUSU"}.set(rt::Value(terminal));
        Global{"MOS_MENS"}.set(rt::Value(false));
    }
    // Adds a CORES record with some fields given.
    void cores_record(const std::string& terminal, const FieldValues& values) {
        ASSERT_TRUE(tables::ABERTURA(56));
        tables::ws().select(56);
        ASSERT_TRUE(tables::ADD_REC(5));
        tb::Table& t = tables::ws().current(56);
        t.put("NRO_TERM", rt::Value(terminal));
        for (const auto& [name, value] : values) t.put(name, value);
        t.commit();
        t.unlock();
        tables::ws().close(56);
    }
    tb::Table& record(int code, const std::string& terminal) {
        EXPECT_TRUE(tables::ABERTURA(code));
        tb::Table& t = tables::ws().current(code);
        EXPECT_TRUE(t.seek(rt::Value(terminal)));
        return t;
    }
};

TEST_F(StartupRecords, NewTerminalGetsDefaultColours) {
    program_folder("04");
    CRIACOR();
    tb::Table& t = record(56, "04");
    EXPECT_EQ(t.get("COR_TEL1").as_number(), 30);
    EXPECT_EQ(t.get("COR_TEL3").as_number(), 63);
    EXPECT_EQ(t.get("COR_ESCOL").as_number(), 79);
    EXPECT_EQ(rt::ALLTRIM(t.get("COR_SAY").as_string()), "N/W+");
    EXPECT_EQ(rt::ALLTRIM(t.get("COR_ESC_CL").as_string()), "W/R+");
    EXPECT_EQ(Global{"COR_TEL2"}.number(), 31);
    EXPECT_EQ(Global{"COR_PEGA"}.number(), 15);
    EXPECT_EQ(Global{"COR_1_CLI"}.text(), "GR+/B");
    EXPECT_EQ(Global{"COR_ENCH_C"}.text(), "W+/B");
    EXPECT_EQ(t.lastrec(), 1u);
}

TEST_F(StartupRecords, ExistingColoursAreLoadedAndNeverOverwritten) {
    program_folder("02");
    cores_record("02", {{"COR_TEL1", 23}, {"COR_TEL2", 31}, {"COR_TEL3", 63}, {"COR_MENS", 112}, {"COR_PEGA", 15},
                        {"COR_HELP", 112}, {"COR_FERID", 28}, {"COR_ESCOL", 79}, {"COR_ENCHE", 31},
                        {"COR_1_CLI", "W+/R"}, {"COR_2_CLI", "W+/B"}, {"COR_INI", "W+/B"}, {"COR_SAY", "N/W+"},
                        {"COR_GET", "W/N"}, {"COR_CLI_HE", "N/W"}, {"COR_ESC_CL", "W/R+"}, {"COR_ENCH_C", "W+/B"}});
    CRIACOR();
    EXPECT_EQ(Global{"COR_TEL1"}.number(), 23);
    EXPECT_EQ(Global{"COR_1_CLI"}.text(), "W+/R");
    tb::Table& t = record(56, "02");
    EXPECT_EQ(t.get("COR_TEL1").as_number(), 23);
    EXPECT_EQ(t.lastrec(), 1u);
}

TEST_F(StartupRecords, UnreadableColoursFallBackToDefaultsInMemory) {
    program_folder("03");
    // 0 and 17 paint a text in its own background; "" and "garbage" are no colours.
    cores_record("03", {{"COR_TEL1", 0}, {"COR_TEL2", 17}, {"COR_TEL3", 63}, {"COR_SAY", ""},
                        {"COR_GET", "garbage"}, {"COR_1_CLI", "B/B"}, {"COR_2_CLI", "W+/R"}});
    CRIACOR();
    EXPECT_EQ(Global{"COR_TEL1"}.number(), 30);
    EXPECT_EQ(Global{"COR_TEL2"}.number(), 31);
    EXPECT_EQ(Global{"COR_TEL3"}.number(), 63);
    EXPECT_EQ(Global{"COR_MENS"}.number(), 112) << "an empty field falls back too";
    EXPECT_EQ(Global{"COR_SAY"}.text(), "N/W+");
    EXPECT_EQ(Global{"COR_GET"}.text(), "W/N");
    EXPECT_EQ(Global{"COR_1_CLI"}.text(), "GR+/B");
    EXPECT_EQ(Global{"COR_2_CLI"}.text(), "W+/R");
}

TEST_F(StartupRecords, CorruptCoresFileGivesDefaultColours) {
    program_folder("01");
    {
        std::ofstream bad(prog + "CORES.dbf", std::ios::binary);
        bad << "this is no table";
    }
    CRIACOR();
    EXPECT_EQ(Global{"COR_TEL1"}.number(), 30);
    EXPECT_EQ(Global{"COR_ESCOL"}.number(), 79);
    EXPECT_EQ(Global{"COR_SAY"}.text(), "N/W+");
    EXPECT_EQ(Global{"COR_ENCH_C"}.text(), "W+/B");
}

TEST_F(StartupRecords, NewTerminalGetsDefaultSettings) {
    program_folder("05");
    ASSERT_TRUE(CONFIGURA("05"));
    tb::Table& t = tables::ws().current(42);
    ASSERT_EQ(rt::ALLTRIM(t.get("NRO_TERM").as_string()), "05") << "CONFIG stays on the terminal's record";
    const std::string without = prog.substr(0, prog.size() - 1);
    EXPECT_EQ(rt::ALLTRIM(t.get("ROTAANTER").as_string()), root + "/QV2011");
    EXPECT_EQ(rt::ALLTRIM(t.get("DIRINST").as_string()), root + "/QV2011");
    EXPECT_EQ(rt::ALLTRIM(t.get("ROTADOANO").as_string()), without);
    EXPECT_EQ(rt::ALLTRIM(t.get("DIRTRAB").as_string()), without);
    EXPECT_EQ(rt::ALLTRIM(t.get("DIRPROV").as_string()), prog);
    EXPECT_EQ(rt::ALLTRIM(t.get("ROTARECEI").as_string()), home + "/ProgramasRFB/IRPF2012/aplicacao/dados/");
    EXPECT_EQ(rt::ALLTRIM(t.get("ROTAJAVA").as_string()), home + "/ProgramasRFB/IRPF2012/aplicacao/dados/");
    EXPECT_EQ(rt::ALLTRIM(t.get("ROTAREANT").as_string()), home + "/ProgramasRFB/IRPF2011/transmitidas/");
    EXPECT_EQ(t.get("QUEIMP").as_number(), 1);
    EXPECT_EQ(t.get("ENV_STAT").as_number(), 2);
    EXPECT_EQ(t.get("LINETI").as_number(), 6);
    EXPECT_EQ(t.get("NRO_LIN").as_number(), 60);
    EXPECT_EQ(t.get("OPC_TRAN").as_number(), 7);
    EXPECT_EQ(t.get("SOESTE").as_number(), 9);
    EXPECT_EQ(t.get("OPTTRAN").as_number(), 3);
    EXPECT_EQ(t.get("ULT_MOD").as_number(), 1);
    EXPECT_EQ(t.get("IMPBEM").as_string(), "1");
    EXPECT_EQ(t.get("MOSTEL").as_string(), "S");
    EXPECT_EQ(t.get("ULT_CPF").as_string(), "           ");
    EXPECT_EQ(t.get("XDRIVE").as_string(), "A");
    EXPECT_EQ(t.get("OPCIRPF").as_string(), "J");
    EXPECT_EQ(t.get("ULTBACK").as_date(), rt::Date::from_ymd(2012, 4, 10));
    EXPECT_TRUE(rt::ALLTRIM(t.get("NOMEAG").as_string()).empty());
}

TEST_F(StartupRecords, ExistingSettingsAreNeverOverwritten) {
    program_folder("06");
    ASSERT_TRUE(CONFIGURA("06"));
    tb::Table& t = tables::ws().current(42);
    tables::ws().select(42);
    ASSERT_TRUE(tables::REC_LOCK(5));
    t.put("ULT_CPF", rt::Value("12345678909"));
    t.put("XDRIVE", rt::Value("B"));
    t.commit();
    t.unlock();
    tables::ws().close_all();
    ASSERT_TRUE(CONFIGURA("06"));
    tb::Table& again = tables::ws().current(42);
    EXPECT_EQ(again.get("ULT_CPF").as_string(), "12345678909");
    EXPECT_EQ(again.get("XDRIVE").as_string(), "B");
    EXPECT_EQ(again.lastrec(), 1u);
}

TEST_F(StartupRecords, EachTerminalHasItsOwnRecord) {
    program_folder("07");
    ASSERT_TRUE(CONFIGURA("07"));
    ASSERT_TRUE(CONFIGURA("08"));
    EXPECT_EQ(rt::ALLTRIM(tables::ws().current(42).get("NRO_TERM").as_string()), "08");
    EXPECT_EQ(tables::ws().current(42).lastrec(), 2u);
}

TEST(StartupRecordDefaults, FoldersOfAnotherEditionAndTheTaxProgram) {
    EXPECT_EQ(previous_edition_folder("/srv/escritorio/qv2012"), "/srv/escritorio/QV2011");
    EXPECT_EQ(previous_edition_folder("/srv/escritorio/qv2012/"), "/srv/escritorio/QV2011");
    EXPECT_EQ(previous_edition_folder("/qv"), "/QV2011");
    EXPECT_EQ(tax_program_folder("/home/ana"), "/home/ana/ProgramasRFB/IRPF2012/aplicacao/dados/");
    EXPECT_EQ(previous_tax_program_folder("/home/ana/"), "/home/ana/ProgramasRFB/IRPF2011/transmitidas/");
}

// A default folder longer than its field is stored cut; read back, it is the
// whole default again. Anything else stays as stored.
TEST(StartupRecordDefaults, AFolderCutByItsFieldIsTheWholeDefaultAgain) {
    const std::string whole = tax_program_folder("/home/" + std::string(50, 'h'));
    const std::string cut = whole.substr(0, 80);
    const struct {
        std::string stored, expected;
    } cases[] = {
        {cut, whole},
        {cut.substr(0, 79) + "x", cut.substr(0, 79) + "x"},   // the user's own folder
        {cut.substr(0, 60), cut.substr(0, 60)},               // shorter: typed by the user
        {"/home/ana/dados/", "/home/ana/dados/"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(whole_default_folder(c.stored, whole), c.expected) << c.stored;
    EXPECT_EQ(whole_default_folder("/home/ana/dados/", "/home/ana/dados/"), "/home/ana/dados/");
}

}  // namespace
}  // namespace qv::common
