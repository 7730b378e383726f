// The dialog layer on the text screen: layout factors, message dialogs,
// button rows, focus and hot letters, and the edit control's typing.
#include <gtest/gtest.h>

#include "console/dialog.hpp"
#include "console/dialog_layout.hpp"
#include "console/edit_control.hpp"
#include "console/message_box.hpp"
#include "console/setup.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::office {
// A routine of another subsystem that opens the diagnostic box.
[[gnu::noinline]] std::vector<std::string> diagnostic_seen_from_office() {
    std::vector<std::string> lines = console::diagnostic_lines();
    lines.emplace_back();
    return lines;
}
}  // namespace qv::office

namespace qv::console {
namespace {

class DialogLayer : public ::testing::Test {
protected:
    void SetUp() override {
        reset_dialog_layout();
        MXBASESETUP(1);
        HGETHEIGHT(0, 1, 86, 48);   // as the program's start-up leaves it
        screen_ = &rt::use_headless();
    }
    void keys(std::initializer_list<int> codes) {
        for (int c : codes) screen_->feed(c);
    }
    rt::HeadlessBackend* screen_ = nullptr;
};

TEST_F(DialogLayer, FactorsTurnTextUnitsIntoPixels) {
    EXPECT_EQ(HSAYWIDTH(10), 71);
    EXPECT_EQ(HSAYTOP(3), 65);
    EXPECT_EQ(HGETHEIGHT(1), 48);
}

TEST_F(DialogLayer, MessageDialogSizeFollowsLinesButtonsAndTitle) {
    struct Case { std::vector<std::string> lines; std::size_t buttons; bool titled; int width, height; };
    const Case cases[] = {
        {{"Linha 1", "Linha 2"}, 1, false, 190, 145},
        {{"x"}, 3, true, 370, 170},
        {{std::string(60, 'a'), "b", "c", "d", "e", "f", "g", "h"}, 1, false, 100 + HSAYWIDTH(50), 245},
    };
    for (const auto& c : cases) {
        const PixelSize s = message_dialog_size(c.lines, c.buttons, c.titled);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
    }
}

TEST_F(DialogLayer, ShowMsgAnswersTheButtonPressed) {
    keys({rt::key::ENTER});
    EXPECT_EQ(SHOWMSG(rt::Value("Linha 1;Linha 2")), 1);
    keys({rt::key::ESC});
    EXPECT_EQ(SHOWMSG(rt::Value("Linha 1;Linha 2")), 0);
    keys({'n'});
    EXPECT_EQ(SHOWMSG(rt::Value("Apagar?"), {"&Sim", "&Não"}), 2);
    keys({rt::key::TAB, rt::key::ENTER});
    EXPECT_EQ(SHOWMSG(rt::Value("Apagar?"), {"&Sim", "&Não"}), 2);
}

TEST_F(DialogLayer, ShowMsgDrawsItsLinesAndButtonsAndPutsTheScreenBack) {
    const std::string before = screen_->dump();
    std::string shown;
    rt::SETKEY(rt::key::F2, [&] {
        for (int r = 0; r < rt::SCREEN_ROWS; ++r) shown += rt::row_text(r) + "\n";
    });
    rt::Value lines = rt::Value::array();
    lines.as_array()->push_back(rt::Value("Primeira"));
    lines.as_array()->push_back(rt::Value(42));
    keys({rt::key::F2, rt::key::ENTER});
    // The dialog's key loop runs no SETKEY handler: F2 reaches it as a key.
    auto dialog = INITDLG(190, 145);
    HEdit::New(dialog.get(), std::nullopt, rt::Value("Primeira\n42"), {}, {5.0, 5.0, 180.0, 75.0},
               EditOptions{ws::ES_MULTILINE | ws::ES_READONLY, {}, false, {}, false, {}, {}, {}});
    dialog->BtnOpc({"&Fechar"});
    dialog->SetKey(rt::key::F2, [&] { (*rt::key_handler(rt::key::F2))(); });
    dialog->nInitFocus = dialog->aBtnOpc.front()->id;
    EXPECT_EQ(dialog->Activate(), 1);
    EXPECT_NE(shown.find("Primeira"), std::string::npos) << shown;
    EXPECT_NE(shown.find("42"), std::string::npos);
    EXPECT_NE(shown.find("[ Fechar"), std::string::npos) << shown;
    EXPECT_EQ(screen_->dump(), before);
    keys({rt::key::ENTER});
    EXPECT_EQ(SHOWMSG(lines), 1);
    EXPECT_EQ(screen_->dump(), before);
}

// A message of several lines keeps the blanks that line its labels up.
TEST_F(DialogLayer, ShowMsgKeepsTheBlanksThatAlignItsLines) {
    std::string shown;
    const std::vector<std::string> lines{"       OS => Linux", "SETCANCEL => .F."};
    rt::Value message = rt::Value::array();
    for (const auto& l : lines) message.as_array()->push_back(rt::Value(l));
    auto dialog = INITDLG(300, 170);
    HEdit::New(dialog.get(), std::nullopt, rt::Value(lines[0] + "\n" + lines[1]), {}, {5.0, 5.0, 280.0, 100.0},
               EditOptions{ws::ES_MULTILINE | ws::ES_READONLY, {}, false, {}, false, {}, {}, {}});
    dialog->BtnOpc({"&Fechar"});
    dialog->SetKey(rt::key::F2, [&] {
        for (int r = 0; r < rt::SCREEN_ROWS; ++r) shown += rt::row_text(r) + "\n";
    });
    dialog->nInitFocus = dialog->aBtnOpc.front()->id;
    keys({rt::key::F2, rt::key::ENTER});
    EXPECT_EQ(dialog->Activate(), 1);
    const auto column = [&shown](std::string_view label) {
        const std::size_t at = shown.find(label);
        if (at == std::string::npos) return std::string::npos;
        const std::size_t line = shown.rfind('\n', at);
        const std::size_t arrow = shown.find("=>", at);
        return arrow - (line == std::string::npos ? 0 : line + 1);
    };
    ASSERT_NE(column("OS =>"), std::string::npos) << shown;
    EXPECT_EQ(column("OS =>"), column("SETCANCEL =>")) << shown;
}

// The diagnostic box names the routines active and the build's defines
// before the settings.
TEST_F(DialogLayer, DiagnosticLinesNameTheCallsAndTheDefines) {
    const std::vector<std::string> lines = office::diagnostic_seen_from_office();
    const auto index = [&lines](std::string_view start) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].starts_with(start)) return static_cast<long>(i);
        return -1L;
    };
    EXPECT_EQ(index("Call => office::diagnostic_seen_from_office(+0x"), 0) << lines.front();
    EXPECT_LT(index("Call => "), index("define => GUI_GTWVW"));
    EXPECT_EQ(index("define => GUI_HWGUI"), index("define => GUI_GTWVW") + 1);
    EXPECT_LT(index("define => GUI_HWGUI"), index("       OS => "));
    EXPECT_GE(index(" SETCOLOR => "), 0);
}

TEST_F(DialogLayer, ButtonRowIsCentredWithEvenSpacing) {
    auto dialog = INITDLG(570, 510);
    dialog->BtnOpc({"&Um", "&Dois", "&Tres"});
    ASSERT_EQ(dialog->aBtnOpc.size(), 3u);
    // spacing (570 - 240) / 4 = 82.5; the row is 405 wide and starts at 285 - 202.5.
    EXPECT_EQ(dialog->aBtnOpc[0]->nLeft, 82);
    EXPECT_EQ(dialog->aBtnOpc[1]->nLeft, 244);
    EXPECT_EQ(dialog->aBtnOpc[2]->nLeft, 407);
    EXPECT_EQ(dialog->aBtnOpc[0]->nTop, 460);
    EXPECT_EQ(dialog->aBtnOpc[2]->id, 34002);
}

TEST_F(DialogLayer, StaticsInTextUnitsTakeTheCaptionsLength) {
    auto dialog = INITDLGXY();
    HStatic& total = HStatic::New(dialog.get(), std::nullopt, 0, {2.0, 3.0, {}, {}}, rt::Value("Total"));
    EXPECT_EQ(total.cell.width, 5);
    EXPECT_EQ(total.cell.height, 1);
    EXPECT_EQ(HCOL(), 7);
    EXPECT_EQ(total.nLeft, HSAYLEFT(2));
    EXPECT_EQ(total.nWidth, HSAYWIDTH(5));
    HStatic& number = HStatic::New(dialog.get(), std::nullopt, 0, {0.0, 5.0, {}, {}}, rt::Value(1234));
    EXPECT_EQ(number.title, "      1234");
    EXPECT_EQ(number.cell.width, 10);
    EXPECT_EQ(number.id, 34001);
}

TEST_F(DialogLayer, EditTakesNumbersFromTheRight) {
    double amount = 0;
    auto dialog = INITDLGXY(40, 6);
    HEdit::New(dialog.get(), std::nullopt, rt::Value(0.0),
               [&](const std::optional<rt::Value>& v) {
                   if (v) amount = v->as_number();
                   return rt::Value(amount);
               },
               {1.0, 1.0, {}, {}}, EditOptions{0, "@E 999,999.99", false, {}, false, {}, {}, {}});
    dialog->BtnOpc({"&Ok"});
    keys({'1', '2', '3', '4', ',', '5', rt::key::TAB, rt::key::ENTER});
    EXPECT_EQ(dialog->Activate(), 1);
    EXPECT_DOUBLE_EQ(amount, 1234.50);
}

TEST_F(DialogLayer, EditFiltersWhatItsTypeRefuses) {
    double amount = 0;
    rt::Date when;
    auto dialog = INITDLGXY(40, 6);
    HEdit::New(dialog.get(), std::nullopt, rt::Value(0.0),
               [&](const std::optional<rt::Value>& v) {
                   if (v) amount = v->as_number();
                   return rt::Value(amount);
               },
               {1.0, 1.0, {}, {}}, EditOptions{0, "9999", false, {}, false, {}, {}, {}});
    HEdit& date = HEdit::New(dialog.get(), std::nullopt, rt::Value(rt::Date{}),
                             [&](const std::optional<rt::Value>& v) {
                                 if (v) when = v->as_date();
                                 return rt::Value(when);
                             },
                             {1.0, 2.0, {}, {}});
    dialog->BtnOpc({"&Ok"});
    bool stayed = false;
    dialog->SetKey(rt::key::F2, [&] { stayed = dialog->focused() == &date; });
    // Letters and a "-" after the first digit are refused; a bad date keeps the focus.
    keys({'x', '1', '-', '2', rt::key::TAB, '3', '1', '0', '2', '2', '0', '1', '1', rt::key::TAB, rt::key::F2,
          rt::key::HOME, '0', '1', rt::key::TAB, rt::key::ENTER});
    EXPECT_EQ(dialog->Activate(), 1);
    EXPECT_DOUBLE_EQ(amount, 12);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(rt::DTOC(when), "01/02/2011");
}

TEST_F(DialogLayer, FocusColourIsLightYellowWhenOn) {
    SETCOLORINFOCUS(true);
    EXPECT_EQ(focus_attr(), 0xE0) << "black on bright yellow";
    SETCOLORINFOCUS(false, 0, 0);
    EXPECT_FALSE(SETCOLORINFOCUS());
}

TEST_F(DialogLayer, WindowKeysBecomeConsoleKeys) {
    const std::pair<int, int> cases[] = {{13, 13}, {35, 6}, {36, 1}, {37, 19}, {40, 24}, {46, 7},
                                         {112, 28}, {113, -1}, {121, -9}, {123, -41}, {190, 46}, {65, 97}};
    for (auto [vk, code] : cases) EXPECT_EQ(MHKEY(vk), code) << vk;
    EXPECT_EQ(MHKEY(65, true), 65);
}

}  // namespace
}  // namespace qv::console
