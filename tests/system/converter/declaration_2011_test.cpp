// Last year's file gives only the lasting data; files that cannot be taken
// change nothing.
#include "system/converter/converter_fixture.hpp"

namespace qv::test_support {
namespace {

const std::string kCpf = "98765432100";

std::vector<Record> file_2011() {
    std::vector<Record> r;
    r.push_back(header(2011));
    r.push_back(identification(kCpf, "PEDRO").at(388, "S"));
    r.push_back(Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 5000000));
    r.push_back(Record("27").at(14, "11").at(20, "VENDIDO").num(545, 557, 0));
    r.push_back(Record("27").at(14, "45").at(20, "APLICACAO").num(532, 544, 1).num(545, 557, 100000));
    r.push_back(Record("28").at(14, "11").at(16, "EMPRESTIMO").num(528, 540, 1).num(541, 553, 30000));
    return r;
}

class Declaration2011 : public ConverterTest {};

TEST_F(Declaration2011, TakesLastYearsClosingValuesAsOpening) {
    ASSERT_TRUE(convert("98765432100-IRPF-2011.DBK", declaration_text(file_2011())));
    const auto reg = rows(9, kCpf);
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(text(9, reg[0], "RECIBOANT"), "123456789091");
    EXPECT_EQ(text(9, reg[0], "RETIFICA"), "N");
    EXPECT_EQ(amount(9, reg[0], "ESTATUS"), 1);
    // The asset sold last year is not carried; code 45 closes at 0,01.
    const auto assets = rows(4, kCpf);
    ASSERT_EQ(assets.size(), 1u);
    EXPECT_EQ(amount(4, assets[0], "I7_3"), 1000);
    EXPECT_NEAR(amount(4, assets[0], "I7_4"), 0.01, 1e-9);
    EXPECT_EQ(amount(4, assets[0], "I7_1"), 1);
    const auto debts = rows(5, kCpf);
    ASSERT_EQ(debts.size(), 1u);
    EXPECT_EQ(amount(5, debts[0], "I8_3"), 300);
    EXPECT_EQ(amount(5, debts[0], "I8_4"), 300);
    // The payer is carried without last year's amounts.
    const auto income = rows(2, kCpf);
    ASSERT_EQ(income.size(), 1u);
    EXPECT_EQ(amount(2, income[0], "I1_4"), 0);

    // A taxpayer already there is not merged with last year's data.
    EXPECT_FALSE(convert("again.DBK", declaration_text(file_2011())));
    EXPECT_EQ(rows(4, kCpf).size(), 1u);
}

TEST_F(Declaration2011, FilesThatCannotBeTakenChangeNothing) {
    const std::string whole = declaration_text(file_2011());
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"cut.DEC", whole.substr(0, whole.size() / 2)},
        {"no-trailer.DEC", declaration_text(file_2011(), false)},
        {"empty.DEC", ""},
        {"other-year.DEC", declaration_text({header(2010), identification(kCpf, "PEDRO")})},
        {"not-a-declaration.BAK", "just some text\n"},
        {"no-identification.DEC", declaration_text({header(2012), Record("21")})},
    };
    for (const auto& c : cases) {
        report.clear();
        EXPECT_FALSE(convert(c.name, c.bytes)) << c.name;
        ASSERT_EQ(report.size(), 1u) << c.name;
        EXPECT_EQ(report[0].rfind(c.name, 0), 0u) << report[0];
    }
    for (const int code : {1, 2, 4, 5, 9}) EXPECT_TRUE(rows(code, kCpf).empty()) << code;
}

}  // namespace
}  // namespace qv::test_support
