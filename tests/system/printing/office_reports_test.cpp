// The office's reports: the charges for the work done, the income statement
// without the payroll file, and the durations of the access report.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <iterator>

#include "printing/access_report.hpp"
#include "printing/charges_report.hpp"
#include "printing/disk_labels.hpp"
#include "printing/income_statement.hpp"
#include "printing/register_listing.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"

namespace qv::printing {
namespace {

namespace tb = rt::table;

TEST(OfficeReports, WorkIsChargedByTimeAndSizeWithAMinimum) {
    const WorkPrices prices{0.10, 2.00, 50.00};
    const struct {
        double seconds, bytes, time, size, computed;
    } cases[] = {
        {1800, 250000, 60.00, 25.00, 85.00},
        {600, 250000, 20.00, 25.00, 50.00},   // 45,00 raised to the minimum
        {0, 250000, 0.00, 25.00, 0.00},       // nothing done: nothing charged
    };
    for (const auto& c : cases) {
        const WorkCharge w = work_charge(c.seconds, c.bytes, prices);
        EXPECT_NEAR(w.time, c.time, 1e-9) << c.seconds;
        EXPECT_NEAR(w.size, c.size, 1e-9) << c.seconds;
        EXPECT_NEAR(w.computed, c.computed, 1e-9) << c.seconds;
    }
    EXPECT_EQ(duration_seconds("01:30:15"), 5415);
    EXPECT_EQ(duration_seconds("00:10"), 600);
    EXPECT_EQ(duration_seconds("ab:10"), 0);
    EXPECT_EQ(duration_seconds(""), 0);
}

class OfficeReportsPrint : public test_support::FoldersTest {
protected:
    std::string printed() {
        rt::os::printer().close();
        std::ifstream in(out_.path() + "/report.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void open_printer() { ASSERT_TRUE(rt::os::printer().open(out_.path() + "/report.txt")); }
    test_support::TempFolder out_;
};

TEST_F(OfficeReportsPrint, ChargesReportWithTotalsAndAverages) {
    const std::string path = root + "/REG.DBF";
    tb::create_table(path, {{"CPF", 'C', 11, 0}, {"NOMECONTR", 'C', 53, 0}, {"TEM_USO", 'N', 6, 0},
                            {"TAM_USO", 'N', 6, 0}, {"VALOREC", 'N', 12, 2}, {"IMPRE", 'C', 1, 0}},
                     tb::MemoKind::None);
    auto& reg = tables::ws().use_in(9, path, {});
    const struct {
        const char *cpf, *name;
        double seconds, bytes;
    } rows[] = {{"11144477735", "ANA", 1800, 250000}, {"22233344405", "BRUNO", 600, 250000}, {"33322211100", "CARLA", 0, 0}};
    for (const auto& r : rows) {
        ASSERT_TRUE(reg.append_blank());
        reg.put("CPF", rt::Value(r.cpf));
        reg.put("NOMECONTR", rt::Value(r.name));
        reg.put("TEM_USO", rt::Value(r.seconds));
        reg.put("TAM_USO", rt::Value(r.bytes));
        reg.commit();
    }
    reg.go_top();
    auto& v = rt::variables();
    v.set("VAL_BYTE", rt::Value(0.10));
    v.set("VAL_SEG", rt::Value(2.00));
    v.set("VAL_MIN", rt::Value(50.00));
    v.set("QUECON", rt::Value(3));
    v.set("QLIN", rt::Value(0));
    open_printer();
    FAZ_PRECO();
    const std::string text = printed();
    EXPECT_NE(text.find("111.444.777-35"), std::string::npos);
    EXPECT_NE(text.find("85,00"), std::string::npos);
    EXPECT_NE(text.find("50,00"), std::string::npos);
    EXPECT_NE(text.find("135,00"), std::string::npos);   // the two charges added
    EXPECT_NE(text.find("67,50"), std::string::npos);    // their average over the two done
    EXPECT_NE(text.find("Declaracoes:Feitas     2  Nao     1  Total     3"), std::string::npos) << text;
    EXPECT_TRUE(reg.eof());   // the run's walk ends with the report
}

TEST_F(OfficeReportsPrint, IncomeStatementNeedsThePayrollFile) {
    rt::variables().set("CPF", rt::Value("11144477735"));
    open_printer();
    keys({13});
    FAZ_COMPROV();
    EXPECT_TRUE(term->showed("Não foi criado ainda o Arquivo nesta Pasta!"));
    EXPECT_TRUE(term->showed("Para criá-lo vá em conversão/comprovante."));
    EXPECT_EQ(printed().find("COMPROVANTE"), std::string::npos);
}

// The order question's choices stand one under the other, accents or not;
// the last one cancels the listing.
TEST_F(OfficeReportsPrint, TheOrderChoicesOfTheRegisterListingLineUp) {
    const std::string path = root + "/REG.DBF";
    tb::create_table(path, {{"CPF", 'C', 11, 0}, {"NOMECONTR", 'C', 53, 0}}, tb::MemoKind::None);
    tables::ws().use_in(9, path, {});
    rt::variables().set("QUECON", rt::Value(3));
    rt::variables().set("QUEMOD", rt::Value(2));
    keys({'7'});
    EXPECT_FALSE(IMPR_CAD());
    // The columns where the choices start on the screen that asked.
    std::vector<std::size_t> starts;
    for (const std::string& screen : term->snapshots) {
        if (screen.find("(1) por CPF") == std::string::npos) continue;
        std::istringstream rows(screen);
        for (std::string row; std::getline(rows, row);)
            for (const char* choice : {"(1) por CPF", "(4) pelo Mês do Nascimento", "(7) Cancela a Impressão"})
                if (const auto at = row.find(choice); at != std::string::npos)
                    starts.push_back(rt::utf8_to_cp850(row.substr(0, at)).size());
        break;
    }
    ASSERT_EQ(starts.size(), 3u) << term->all_snapshots();
    EXPECT_EQ(starts[0], starts[1]);
    EXPECT_EQ(starts[0], starts[2]);
}

}  // namespace
}  // namespace qv::printing

namespace qv::printing {
namespace {

TEST(RegisterListing, FiltersOrdersAndAddressLabels) {
    ListingFilter refunds;
    refunds.tax = 3;
    const struct {
        int status;
        double tax;
        bool listed;
    } rows[] = {{1, -250.00, true}, {1, 0.00, false}, {1, 1200.00, false}};
    for (const auto& r : rows) EXPECT_EQ(listed(refunds, r.status, r.tax, 5), r.listed) << r.tax;
    ListingFilter range;
    range.first_status = 3;
    range.last_status = 5;
    range.first_month = 2;
    range.last_month = 4;
    EXPECT_TRUE(listed(range, 4, 0.0, 3));
    EXPECT_FALSE(listed(range, 6, 0.0, 3));
    EXPECT_FALSE(listed(range, 4, 0.0, 5));
    // Refunds (negative) come before exempt and tax to pay; ties keep their order.
    EXPECT_EQ(ascending({1200.0, -50.0, 0.0, -300.0, 0.0}), (std::vector<std::size_t>{3, 1, 2, 4, 0}));

    Address a{"MARIA DA SILVA", "RUA", "DAS FLORES", "120", "APTO 31", "CENTRO", "CAMPINAS", "SP", "13010001"};
    EXPECT_EQ(address_label(a), (std::vector<std::string>{"MARIA DA SILVA", "RUA DAS FLORES, 120 APTO 31", "CENTRO",
                                                          "CAMPINAS - SP", "13010-001"}));
    a.street = "PROFESSOR DOUTOR JOAQUIM DE ALMEIDA PRADO";
    a.district = "";
    EXPECT_EQ(address_label(a)[2], "APTO 31");   // the complement past column 53 goes below
    EXPECT_EQ(address_label(a)[3], "CAMPINAS - SP");
    // A taxpayer without an address is labelled with the name alone; a part
    // filled in shows without the separators of the others.
    EXPECT_EQ(address_label(Address{"JOSE", "", "", "", "", "", "", "", ""}), (std::vector<std::string>{"JOSE"}));
    EXPECT_EQ(address_label(Address{"JOSE", "", "", "", "", "", "SANTOS", "", ""}),
              (std::vector<std::string>{"JOSE", "SANTOS"}));
}

TEST(DiskLabels, RowsOfEachLabelType) {
    const std::vector<DiskLabel> two{{"11144477735", "maria da silva e souza de almeida"}, {"22233344405", "Bruno"}};
    EXPECT_EQ(labels_per_row(1), 1);
    EXPECT_EQ(labels_per_row(3), 2);
    EXPECT_EQ(labels_per_row(4), 3);
    EXPECT_EQ(label_row(1, two), (std::vector<std::string>{"Declaracao de ajuste anual 2012", "          (Ano Base 2011)",
                                                          "CPF : 111.444.777-35", "Nome: MARIA DA SILVA E SOUZA DE"}));
    EXPECT_EQ(label_row(2, two).back(), "Nome: MARIA DA SILVA E SOUZA DE ALMEIDA");   // type 2 keeps the whole name
    const auto side = label_row(3, two);
    ASSERT_EQ(side.size(), 4u);
    EXPECT_EQ(side[2], "CPF : 111.444.777-35                    CPF : 222.333.444-05");
}

}  // namespace
}  // namespace qv::printing
