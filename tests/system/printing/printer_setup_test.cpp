// Printer control sequences, the print device's layout, the print targets
// the settings name, and the end of a "NAO DOS" run.
#include <filesystem>
#include <fstream>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "printing/control_sequences.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/print_target.hpp"
#include "printing/printer_record.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {
namespace {

using common::Global;

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ControlSequences, CompileCodesEscapesAndTheLaserMark) {
    struct Case {
        const char* text;
        std::string bytes;
        int laser;
    } cases[] = {
        {"<018>", "\x12", 0},
        {"<027>A", "\x1B" "A", 0},
        {"<esc>A", "\x1B" "A", 0},
        {"  plain text  ", "plain text", 0},
        {"<027>x<ESC>ab<###>", "\x1B" "x\x1B" "ab###", 6},
        {"<060>018>", "<018>", 0},   // a "<" made from its code is not read again
    };
    for (const auto& c : cases) {
        int laser = 0;
        EXPECT_EQ(MONTASTRG(c.text, laser), c.bytes) << c.text;
        EXPECT_EQ(laser, c.laser) << c.text;
    }
    const CompiledSequences on_off = compile_sequences("<018>", "<015>", "<027>A", "<014>//<020>");
    EXPECT_EQ(on_off.wide_on, "\x0E");
    EXPECT_EQ(on_off.wide_off, "\x14");
    EXPECT_EQ(compile_sequences("", "", "", "<014>").wide_off, "");
}

class PrintingTest : public test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        work = folder.path() + "/";
        Global{"LOCTRAB"}.set(rt::Value(work));
        Global{"ARQDEF"}.set(rt::Value(work));
        Global{"NUSU"}.set(rt::Value("03"));
    }
    void TearDown() override {
        rt::os::printer().close();
        rt::os::set_port_folder({});
        set_device(Device::Screen);
        ScreenTest::TearDown();
    }
    void settings(const char* type, int lpt, int com, const char* file, const char* where = "L") {
        Global{"NOMEIMP"}.set(rt::Value(type));
        Global{"NROLPT"}.set(rt::Value(lpt));
        Global{"NROCOM"}.set(rt::Value(com));
        Global{"SAIDAPR"}.set(rt::Value(file));
        Global{"LOCIMPR"}.set(rt::Value(where));
    }
    test_support::TempFolder folder;
    std::string work;
};

TEST_F(PrintingTest, TheSettingsNameTheTarget) {
    struct Case {
        const char* type;
        int lpt, com;
        const char* file;
        std::string target;
    } cases[] = {
        {"NAO DOS", 1, 0, "X", "NAO-DOS.TXT"},
        {"EPSON LX", 0, 0, "        ", "RELATOR.TXT"},
        {"EPSON LX", 0, 0, "LISTA   ", "LISTA.TXT"},
        {"EPSON LX", 2, 0, "", "LPT2"},
        {"EPSON LX", 0, 3, "", "COM3"},
    };
    for (const auto& c : cases) {
        settings(c.type, c.lpt, c.com, c.file);
        const std::string expected = c.target.find('.') != std::string::npos ? work + c.target : c.target;
        EXPECT_EQ(print_target_name(), expected) << c.type << c.lpt << c.com;
    }
}

TEST_F(PrintingTest, DocumentsArePlacedByRowAndColumn) {
    settings("EPSON LX", 0, 0, "");
    ASSERT_TRUE(PREP_IMP());
    EXPECT_EQ(device(), Device::Printer);
    rt::os::PrintDevice& p = rt::os::printer();
    p.say(0, 2, "A");
    p.say(2, 0, "B");
    p.say(2, 4, "C");
    p.say(1, 1, "D");   // above the head: a new page
    ASSERT_TRUE(p.close());
    EXPECT_EQ(read_all(work + "RELATOR.TXT"), "  A\r\n\r\nB   C\f\r\n D");
}

TEST_F(PrintingTest, SerialPortIsTakenAsReady) {
    rt::os::set_port_folder(folder.path());
    std::ofstream(folder.path() + "/ttyS1").close();   // the port's device
    settings("EPSON LX", 0, 2, "");
    ASSERT_TRUE(PREP_IMP());
    rt::os::printer().say(0, 0, "x");
    rt::os::printer().close();
    EXPECT_EQ(read_all(folder.path() + "/ttyS1"), "x");
}

TEST_F(PrintingTest, NaoDosJobDropsTheLastFormFeedAndNeedsContent) {
    settings("NAO DOS", 0, 0, "");
    Global{"MOSTEL"}.set(rt::Value("N"));
    Global{"MOSIMP"}.set(rt::Value("N"));
    ASSERT_TRUE(PREP_IMP());
    rt::os::printer().say(0, 0, "linha");
    rt::os::printer().eject();
    rt::os::printer().write_raw("\n");
    IMP_TXT(2);   // no print program here: nothing more happens
    EXPECT_EQ(read_all(work + "NAO-DOS.TXT"), "linha \n");
    EXPECT_EQ(device(), Device::Screen);

    std::ofstream(work + "NAO-DOS.TXT", std::ios::trunc).close();
    keys({rt::key::ENTER});
    IMP_TXT(2);
    EXPECT_TRUE(term->showed("Nada para imprimir!!"));
}

TEST_F(PrintingTest, PrintProgramOptions) {
    EXPECT_STREQ(print_program_options(true, true), "pre/sel");
    EXPECT_STREQ(print_program_options(true, false), "pre");
    EXPECT_STREQ(print_program_options(false, true), "sel");
    EXPECT_STREQ(print_program_options(false, false), "");
}

TEST_F(PrintingTest, EscDuringARunAsksToAbandon) {
    Global{"CAN_IMP"}.set(rt::Value(false));
    set_device(Device::Printer);
    EXPECT_FALSE(PAREIMP());
    keys({'x', rt::key::ESC, rt::key::ENTER});
    EXPECT_TRUE(PAREIMP());
    EXPECT_EQ(device(), Device::Screen);
}

TEST_F(PrintingTest, NewTerminalGetsItsPrinterRecord) {
    Global{"ARQDEF"}.set(rt::Value(work));
    CRIA_SEQ();
    rt::table::Table* t = tables::ws().table(kPrinterArea);
    ASSERT_NE(t, nullptr);
    ASSERT_FALSE(t->eof());
    EXPECT_EQ(t->get("NRO_TERM").as_string(), "03");
    EXPECT_EQ(rt::ALLTRIM(t->get("NOMEIMP").as_string()), "NAO DOS");
    EXPECT_EQ(Global{"STRING2"}.text(), "\x1B" "A");
    EXPECT_EQ(Global{"STRING4"}.text(), "\x14");
    CRIA_SEQ();   // found again, not added twice
    EXPECT_EQ(tables::ws().table(kPrinterArea)->lastrec(), 1u);
}

}  // namespace
}  // namespace qv::printing
