// What the pages of an opened declaration leave on the screen as a clerk
// goes through them: a box opened over a page gives the page back whole,
// the carnê-leão sheet names its filling where the frame names it, and a
// switch of model keeps the screen index.
#include <gtest/gtest.h>

#include <string>

#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/gtela.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/screen.hpp"
#include "open_declaration_fixture.hpp"

namespace qv::declaration::testing {
namespace {

namespace key = rt::key;

class PagePainting : public OpenDeclarationTest {
protected:
    void SetUp() override {
        OpenDeclarationTest::SetUp();
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"USAPADRAO", rt::Value("S")}});
        add_row(1, kCpfA, {});
        open();
        set("PVEZ", rt::Value(false));
        set("INI", rt::Value("N"));
    }
    void typed(const std::string& text) {
        for (const char c : text) term->feed(static_cast<unsigned char>(c));
    }
    // The first screen that waited for a key while showing the text.
    std::string shown_with(const std::string& utf8) const {
        for (const std::string& s : term->snapshots)
            if (s.find(utf8) != std::string::npos) return s;
        return {};
    }
    // The screen as it was at the n-th wait for a key, from the end.
    std::string screen_before_last(std::size_t n) const {
        return n < term->snapshots.size() ? term->snapshots[term->snapshots.size() - 1 - n] : std::string();
    }
};

TEST_F(PagePainting, TheExemptGainsBoxGivesThePageBackAfterTheMenusLogo) {
    // The declaration menu stands on the background with the logo.
    paint_background();
    set("TELA", rt::Value(3));
    set("OPCIR_1", rt::Value(31));
    // Line 04 keyed, its box left with Esc; on the next line the page ends
    // with Esc and so does the loop.
    typed("\r\r\r500\r");
    keys({key::ESC, key::ESC});
    GIRO();
    const std::string page = screen_before_last(0);
    EXPECT_NE(page.find("03.Indenizações por rescisão, acidente, PDV e FGTS"), std::string::npos) << page;
    EXPECT_NE(page.find("10.Transferências por doação, herança, separação"), std::string::npos) << page;
    EXPECT_EQ(page.find("QQQQ"), std::string::npos) << page;
}

// The savings list opened with Alt+F6 from inside the exempt gains' box
// refills line 08 of the page under the box: the line is painted once the
// box has gone, never over the box's heading, and stays on the page.
TEST_F(PagePainting, TheSavingsListOpenedInTheGainsBoxPaintsThePageOnceTheBoxGoes) {
    set("TELA", rt::Value(3));
    set("OPCIR_1", rt::Value(31));
    typed("\r\r\r\r");               // line 04, whose Enter opens its box
    keys({key::ALT_F1 - 5});           // the savings list
    typed("BANCO X\r100\r");
    keys({key::ESC, key::ESC});        // the list, then the box
    keys({key::ESC, key::ESC});        // the page, then the loop
    GIRO();
    const auto line_with = [](const std::string& screen, const std::string& text) {
        const std::size_t at = screen.find(text);
        if (at == std::string::npos) return std::string();
        const std::size_t start = screen.rfind('\n', at) + 1;
        return screen.substr(start, screen.find('\n', at) - start);
    };
    std::string box, page;
    for (const std::string& s : term->snapshots) {
        if (s.find("Ganhos isentos") != std::string::npos) box = s;
        else if (!box.empty()) page = s;
    }
    ASSERT_FALSE(box.empty()) << term->all_snapshots();
    // The box whole: its heading and its right edge where the page's
    // lines 08 and 15 lie under it.
    EXPECT_NE(box.find("│ 08│                                         Informado       Calculado    │   │"),
              std::string::npos)
        << box;
    EXPECT_NE(box.find("│ 15│" + std::string(70, ' ') + "│   │"), std::string::npos) << box;
    ASSERT_FALSE(page.empty()) << term->all_snapshots();
    EXPECT_NE(line_with(page, "08.Rendimentos de cadernetas de poupança").find("100,00"), std::string::npos) << page;
}

TEST_F(PagePainting, TheSheetsNewFillingStandsWhereTheFrameNamesIt) {
    set("CAL_AUTO", rt::Value(1));
    set("TELA", rt::Value(2));
    set("OPCIR_1", rt::Value(21));
    MTELA(2);
    // Alt+A, its explanation read, the sheet left: in the totals mode the
    // social security total is asked and typed.
    keys({key::ALT_A, key::ENTER, key::ESC});
    typed("300\r");
    GTELA(2);
    EXPECT_TRUE(term->showed("Esse modo deve ser usado APENAS"));
    // Back on the sheet: the key line whole, the new filling named after it.
    const std::string sheet = shown_with("Preenchimento atual: 2)SO OS TOTAIS│");
    ASSERT_FALSE(sheet.empty()) << term->all_snapshots();
    EXPECT_NE(sheet.find("│ALT A Troca (1)Fonte INDIVIDUAL (2)Só TOTAIS (3)Livro Caixa (4)Cálculo Inverso│"),
              std::string::npos)
        << sheet;
    EXPECT_NE(sheet.find("TAB=Proxima página"), std::string::npos) << sheet;
    // The total is asked beside its label, on the line under the sheet.
    EXPECT_NE(term->snapshots.back().find("│Totais INSS"), std::string::npos) << term->snapshots.back();
    EXPECT_DOUBLE_EQ(get("CARNEINSS").as_number(), 300.0);
}

TEST_F(PagePainting, ASwitchToTheSimplifiedModelKeepsTheScreenIndex) {
    MOS_IND();
    set("USAPADRAO", rt::Value("N"));
    set("OPCIR_1", rt::Value(71));
    MTELA(7);
    // "S" typed on the complete page: its simplified page is run at once,
    // and left.
    set("USAPADRAO", rt::Value("S"));
    keys({key::ESC});
    ASSERT_TRUE(rt::call_as_bool("CONF_PADR"));
    const std::string simplified = shown_with("MODELO SIMPLIFICADO");
    EXPECT_NE(simplified.find("1=PJ 2=PF 3=Ise 4=Pgto 5=Bem 6=Iden 7=Cal"), std::string::npos) << simplified;
}

TEST_F(PagePainting, BothModelsNameTheLawOfTheTaxWithheld) {
    for (const char* model : {"S", "N"}) {
        set("USAPADRAO", rt::Value(model));
        set("OPCIR_1", rt::Value(71));
        MTELA(7);
        std::string page;
        for (int r = 0; r < 25; ++r) page += rt::row_text(r) + "\n";
        EXPECT_NE(page.find("Lei 11.033"), std::string::npos) << model << "\n" << page;
        EXPECT_EQ(page.find("Lei 11.003"), std::string::npos) << model << "\n" << page;
    }
}

TEST_F(PagePainting, AFinalEstatesTaxPageIsTheCompleteModels) {
    // The page painted as the new declaration's simplified model, then the
    // estate's closing forces the complete one.
    set("OPCIR_1", rt::Value(71));
    MTELA(7);
    set("DECFINAL", rt::Value("S"));
    keys({key::ESC});
    GTELA(7);
    EXPECT_EQ(get("USAPADRAO").as_string(), "N");
    const std::string page = screen_before_last(0);
    EXPECT_NE(page.find("MODELO COMPLETO"), std::string::npos) << page;
    EXPECT_EQ(page.find("MODELO SIMPLIFICADO"), std::string::npos) << page;
}

}  // namespace
}  // namespace qv::declaration::testing
