// The receipt-number and capital-gain imports of a taxpayer registered in
// another folder of the terminal's list, not in the destination.
#include <functional>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "system/converter/converter_fixture.hpp"
#include "system/taxpayer_holder.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::test_support {
namespace {

const std::string kCpf = "55555555555";

class OtherFolderImport : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        here = tables::client_folder();
        other = folder_with(kCpf);
        listed = selection();
        ASSERT_TRUE(converter::CRIA_BASE());
    }
    // `look` run on the other folder's tables; this folder current again.
    void in_other(const std::function<void()>& look) {
        tables::ws().close_all();
        tables::set_client_folder(other);
        ASSERT_TRUE(converter::CRIA_BASE());
        look();
        tables::ws().close_all();
        tables::set_client_folder(here);
        ASSERT_TRUE(converter::CRIA_BASE());
    }
    std::string selection() {
        std::string marks;
        EXPECT_TRUE(tables::ABERTURA(50));
        auto& list = tables::ws().current(50);
        for (list.go_top(); !list.eof(); list.skip(1)) marks += list.get("SELEC").as_string();
        return marks;
    }
    int gains(const std::string& cpf) {
        int n = 0;
        for (const auto r : rows(7, cpf)) n += amount(7, r, "TIPO_BEM") == 2;
        return n;
    }

    std::string here, other, listed;
};

const std::string kReceiptFile =
    declaration_text({header(2012, "IRPF    ", "5555555555"), identification(kCpf, "JOAO")});
const std::string kGainFile =
    declaration_text({header(2012), identification(kCpf, "JOAO"), Record("61").at(14, "01").at(16, "CARRO")});

// The receipt and the gain go to the folder the taxpayer is registered
// in; the destination gets no register row, and the terminal's folder and
// the list's selection are as before.
TEST_F(OtherFolderImport, WrittenInTheFolderThatHoldsTheTaxpayer) {
    ASSERT_TRUE(convert("r.DEC", kReceiptFile, converter::kReceiptsOnly));
    ASSERT_TRUE(convert("g.DEC", kGainFile, converter::kGainsOnly));
    EXPECT_TRUE(report.empty()) << report.at(0);
    EXPECT_EQ(tables::client_folder(), here);
    EXPECT_EQ(selection(), listed);
    EXPECT_TRUE(rows(9, kCpf).empty());
    EXPECT_EQ(gains(kCpf), 0);
    in_other([&] {
        EXPECT_EQ(text(9, rows(9, kCpf).at(0), "RECIBOATU"), "555555555550");
        EXPECT_EQ(gains(kCpf), 1);
    });
    // A taxpayer of the destination that follows is written here.
    {
        const converter::TablesLocked locks({9});
        converter::new_row(9, "33333333333").commit();
    }
    ASSERT_TRUE(convert("h.DEC",
                        declaration_text({header(2012), identification("33333333333", "ANA"),
                                          Record("61").at(14, "01").at(16, "MOTO")}),
                        converter::kGainsOnly));
    EXPECT_EQ(gains("33333333333"), 1);
    in_other([&] { EXPECT_EQ(gains("33333333333"), 0); });
}

// A terminal with the taxpayer open in that folder keeps it: nothing is
// written, the file is named with the terminal, and no register row is
// made here.
TEST_F(OtherFolderImport, ATaxpayerOpenThereIsLeftAndNamed) {
    const TaxpayerHolder held(other, kCpf, "06");
    for (const int kind : {converter::kReceiptsOnly, converter::kGainsOnly}) {
        report.clear();
        EXPECT_FALSE(convert("o.DEC", kind == converter::kGainsOnly ? kGainFile : kReceiptFile, kind)) << kind;
        ASSERT_EQ(report.size(), 1u) << kind;
        EXPECT_EQ(rt::cp850_to_utf8(report[0]), "o.DEC: Contribuinte 555.555.555-55 em uso no terminal 06.");
    }
    EXPECT_FALSE(term->showed("não foi localizado"));
    EXPECT_TRUE(rows(9, kCpf).empty());
    in_other([&] {
        EXPECT_EQ(rt::RTRIM(text(9, rows(9, kCpf).at(0), "RECIBOATU")), "");
        EXPECT_EQ(gains(kCpf), 0);
    });
}

}  // namespace
}  // namespace qv::test_support
