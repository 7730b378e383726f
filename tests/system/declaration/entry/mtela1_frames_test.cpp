// The management dialogs' frames: each shows its title and labels, and the
// places where its dialog puts its entry fields stay free. The age on the
// identification page sits on the frame's top line, clear of the fields.
#include "declaration/entry/mtela1_frames.hpp"

#include <gtest/gtest.h>

#include "common/frame_boxes.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/age_notice.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/screen.hpp"
#include "system/system_fixture.hpp"

namespace qv::declaration {
namespace {

class DialogFramesTest : public test_support::ScreenTest {
protected:
    // A screen row as the program wrote it (CP850, one byte a cell).
    std::string row(int r) const {
        std::string out;
        for (const rt::Cell& c : term->cells()[static_cast<std::size_t>(r)]) out += static_cast<char>(c.ch);
        return out;
    }
    // True when the row holds the text (UTF-8) from column `col` on.
    bool starts(int r, int col, std::string_view text) const {
        const std::string wanted = rt::utf8_to_cp850(text);
        return row(r).substr(static_cast<std::size_t>(col), wanted.size()) == wanted;
    }
};

struct Place {
    int number, variant;
    int row, col;
    const char* text;   // shown from (row, col)
    int field_col;      // the dialog's field on that row (-1: none)
};

// Labels from the dialogs' own layouts; field columns are those the dialogs
// read their values at.
constexpr Place kPlaces[] = {
    {1, 1, 1, 4, "Detalhe da fonte pagadora", -1},
    {1, 1, 12, 3, "Aposentadoria por moléstia grave", 38},
    {1, 1, 13, 3, "Parcela isenta acima de 65 anos", 38},
    {1, 2, 3, 3, "CPF do dependente", 38},
    {1, 2, 13, 3, "Rendimentos isentos", 38},
    {1, 20, 9, 3, "Ajuste anual:", 17},
    {1, 20, 9, 19, "Exclusiva:", 30},
    {1, 20, 11, 3, "Imposto devido", 17},
    {2, 0, 10, 16, "CPF original :", 34},
    {2, 2, 15, 51, "Livro Caixa Rural", -1},
    {3, 0, 10, 16, "CPF original:", 30},
    {4, 0, 10, 1, "Pasta origem :", 16},
    {4, 1, 12, 1, "Nova pasta :", 14},
    {5, 0, 6, 30, "Config. emitente", -1},
    {7, 0, 16, 19, "Abatimento (deduções)", 40},
    {8, 0, 5, 13, "Alt B=Busca valor", -1},
    {10, 0, 12, 31, "eXclui anteriores", -1},
    {11, 0, 8, 23, "Conversor Dólar", -1},
    {12, 0, 13, 32, "dívidas Rurais", -1},   // from the bar's column 3, the hot letter R in capitals
};

TEST_F(DialogFramesTest, EachFrameShowsItsLabelsBesideFreeFieldPlaces) {
    for (const Place& p : kPlaces) {
        common::reset_windows();
        rt::CLS();
        MTELA1(p.number, p.variant);
        EXPECT_TRUE(starts(p.row, p.col, p.text)) << p.number << "/" << p.variant << ": " << term->text(p.row);
        if (p.field_col >= 0) {
            EXPECT_EQ(row(p.row)[static_cast<std::size_t>(p.field_col)], ' ')
                << p.number << "/" << p.variant << " row " << p.row;
        }
    }
}

TEST_F(DialogFramesTest, TheOptionBarsLastItemLiesInsideItsFrame) {
    struct Last {
        int number;
        int row, col;   // where the last item is shown
        const char* text;
        int side;       // the column of the box's left side
    } cases[] = {
        {5, 8, 30, "Gera o Arquivo", 28},
        {6, 8, 30, "Envia o Email", 28},
        {10, 12, 31, "eXclui anteriores", 29},
        {12, 14, 32, "imóVeis rurais", 29},
    };
    for (const Last& c : cases) {
        common::reset_windows();
        rt::CLS();
        MTELA1(c.number);
        EXPECT_TRUE(starts(c.row, c.col, c.text)) << c.number << ": " << term->text(c.row);
        EXPECT_EQ(row(c.row)[static_cast<std::size_t>(c.side)], '\xB3') << c.number << ": a side, not the bottom";
        EXPECT_EQ(row(c.row + 1)[static_cast<std::size_t>(c.side)], '\xC0') << c.number << ": the bottom below";
    }
}

TEST_F(DialogFramesTest, EveryLineOfADialogLiesInsideItsBox) {
    for (int number = 1; number <= 12; ++number)
        for (const int variant : {0, 1, 2, 3, 20}) {
            const common::FrameBox* f = mtela1_frame(number, variant);
            if (f == nullptr || (variant != 0 && f == mtela1_frame(number, 0))) continue;
            // The text starts at the window's top row; the box's bottom edge
            // is the row before the window's bottom.
            EXPECT_LE(static_cast<int>(f->lines.size()), f->bottom - f->top - 1) << number << "/" << variant;
        }
}

// Nothing of the screen below shows through a dialog: the rows its lines
// do not reach are blank inside the box.
TEST_F(DialogFramesTest, TheInsideOfADialogsBoxHidesTheScreenBelow) {
    for (int number = 1; number <= 12; ++number)
        for (const int variant : {0, 1, 2, 3, 20}) {
            const common::FrameBox* f = mtela1_frame(number, variant);
            if (f == nullptr || number == 9 || (variant != 0 && f == mtela1_frame(number, 0))) continue;
            common::reset_windows();
            for (int r = 0; r < 25; ++r) rt::at_say(r, 0, std::string(80, '#'));
            MTELA1(number, variant);
            for (int r = f->top; r <= f->bottom - 2; ++r)
                EXPECT_EQ(row(r).substr(static_cast<std::size_t>(f->left), static_cast<std::size_t>(f->right - f->left - 1))
                              .find('#'),
                          std::string::npos)
                    << number << "/" << variant << " row " << r << ": " << term->text(r);
        }
}

TEST_F(DialogFramesTest, PainterIsCalledByNameAndUnknownNumbersPaintNothing) {
    register_dialog_frame_routines();
    EXPECT_TRUE(common::paint_dialog_frame(3));
    EXPECT_TRUE(starts(10, 16, "CPF original:"));
    EXPECT_EQ(rt::variables().get("ALJA").at(3).as_number(), 10);
    EXPECT_EQ(rt::variables().get("ACJA").at(3).as_number(), 15);
    rt::CLS();
    MTELA1(99);
    for (int r = 0; r < 25; ++r) EXPECT_EQ(term->text(r).find_first_not_of(' '), std::string::npos);
}

TEST_F(DialogFramesTest, AgeOnIdentificationPageLeavesTheSpouseCpfAlone) {
    // Born 15/03/1950: 61 years and 9 months at the end of 2011.
    rt::set_clock(rt::CTOD("01/06/2012"));
    MOSTEL(6);
    const std::string spouse_row = row(5);
    DIZANOS(rt::CTOD("15/03/1950"));
    EXPECT_TRUE(starts(2, 56, "Idade: 61 anos  9 meses")) << term->dump();
    EXPECT_EQ(row(5), spouse_row);
    // Ten months keep their blank after "anos".
    DIZANOS(rt::CTOD("15/02/1970"));
    EXPECT_TRUE(starts(2, 56, "Idade: 41 anos 10 meses")) << term->dump();
}

}  // namespace
}  // namespace qv::declaration
