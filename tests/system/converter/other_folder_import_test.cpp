// Receipt numbers and capital gains of a taxpayer registered in another
// folder of the terminal's list, not in the destination.
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "system/converter/converter_fixture.hpp"
#include "system/taxpayer_holder.hpp"

namespace qv::test_support {
namespace {

TEST_F(ConverterTest, ReceiptAndGainGoWhereTheTaxpayerIsRegistered) {
    const std::string cpf = "55555555555", here = tables::client_folder(), other = folder_with(cpf);
    const auto file = [](const std::string& id) {
        return declaration_text({header(2012, "IRPF    ", "5555555555"), identification(id, "JOAO"),
                                 Record("61").at(14, "01").at(16, "CARRO")});
    };
    const auto marks = [] {
        std::string m;
        EXPECT_TRUE(tables::ABERTURA(50));
        auto& list = tables::ws().current(50);
        for (list.go_top(); !list.eof(); list.skip(1)) m += list.get("SELEC").as_string();
        return m;
    };
    const std::string listed = marks();
    // What the CPF has in a folder: its register rows, receipt and gains.
    const auto seen = [&](const std::string& folder, const std::string& id) {
        tables::ws().close_all();
        tables::set_client_folder(folder);
        EXPECT_TRUE(converter::CRIA_BASE());
        const auto reg = rows(9, id);
        const std::string has = std::to_string(reg.size()) + (reg.empty() ? "" : rt::RTRIM(text(9, reg[0], "RECIBOATU"))) +
                                "/" + std::to_string(rows(7, id).size());
        tables::ws().close_all();
        tables::set_client_folder(here);
        EXPECT_TRUE(converter::CRIA_BASE());
        return has;
    };
    ASSERT_TRUE(converter::CRIA_BASE());
    {
        // Held there by terminal 06: left, named, nothing written.
        const TaxpayerHolder held(other, cpf, "06");
        for (const int kind : {converter::kReceiptsOnly, converter::kGainsOnly}) {
            report.clear();
            EXPECT_FALSE(convert("o.DEC", file(cpf), kind)) << kind;
            ASSERT_EQ(report.size(), 1u) << kind;
            EXPECT_EQ(rt::cp850_to_utf8(report[0]), "o.DEC: Contribuinte 555.555.555-55 em uso no terminal 06.");
        }
    }
    EXPECT_EQ(seen(other, cpf), "1/0");
    for (const int kind : {converter::kReceiptsOnly, converter::kGainsOnly})
        EXPECT_TRUE(convert("f.DEC", file(cpf), kind)) << kind;
    // The terminal's folder and the list's selection stay; the next
    // taxpayer, registered here, is written here.
    EXPECT_EQ(tables::client_folder(), here);
    EXPECT_EQ(marks(), listed);
    converter::new_row(9, "33333333333").commit();
    EXPECT_TRUE(convert("h.DEC", file("33333333333"), converter::kGainsOnly));
    EXPECT_FALSE(term->showed("não foi localizado"));
    EXPECT_EQ(seen(other, cpf), "1555555555550/1");
    EXPECT_EQ(seen(here, cpf), "0/0");
    EXPECT_EQ(seen(here, "33333333333"), "1/1");
    EXPECT_EQ(seen(other, "33333333333"), "0/0");
}

TEST_F(ConverterTest, AProtectedDeclarationInAnotherFolderTakesItsReceiptButNoGain) {
    rt::variables().set("STATRAVA", rt::Value(9));
    const std::string cpf = "55555555555";
    folder_with(cpf, 9);
    const std::string file = declaration_text({header(2012, "IRPF    ", "5555555555"), identification(cpf, "JOAO"),
                                               Record("61").at(14, "01").at(16, "CARRO")});
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(convert("r.DEC", file, converter::kReceiptsOnly));
    report.clear();
    EXPECT_FALSE(convert("g.DEC", file, converter::kGainsOnly));
    ASSERT_EQ(report.size(), 1u);
    EXPECT_NE(rt::cp850_to_utf8(report[0]).find("555.555.555-55: Declaração com Status de proteção"), std::string::npos)
        << rt::cp850_to_utf8(report[0]);
}

}  // namespace
}  // namespace qv::test_support
