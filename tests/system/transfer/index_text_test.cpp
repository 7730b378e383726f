// The tax program's declaration index: reading its tags and rewriting it
// with one taxpayer's item.
#include <gtest/gtest.h>

#include <string>

#include "transfer/index_text.hpp"

namespace qv::transfer {
namespace {

const std::string kUri = "urn:test";
const std::string kStamp = "10/12/2026 01:02:03";
const std::string kRoot = R"(<classe xmlns="urn:test" classeJava="serpro.ppgd.irpf.ColecaoIdDeclaracao")"
                          R"( tipoItens="serpro.ppgd.irpf.IdentificadorDeclaracao")";
const std::string kHead = R"(<?xml version="1.0" encoding="UTF-8"?>)" + kRoot +
                          R"( dataHoraSalvamento="10/12/2026 01:02:03">)";

std::string item(const std::string& cpf, const std::string& name) {
    return R"(<item cpf=")" + cpf + R"(" nome=")" + name + R"(" transmitida="0"/>)";
}

const std::string kA = "111.111.111-11";
const std::string kB = "222.222.222-22";

struct IndexCase {
    const char* what;
    std::string old_text;
    std::string expected;
};

class IndexUpdate : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexUpdate, KeepsOthersAndPutsTheTaxpayerLast) {
    const auto& c = GetParam();
    EXPECT_EQ(updated_index(c.old_text, kA, item(kA, "NOVO"), kUri, kStamp), c.expected) << c.what;
}

const std::string kOldRoot = kRoot + R"( dataHoraSalvamento="01/01/2026 00:00:00">)";

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexUpdate,
    ::testing::Values(
        IndexCase{"no index", "", kHead + item(kA, "NOVO") + "</classe>"},
        IndexCase{"same taxpayer again moves to the end",
                  kOldRoot + item(kA, "VELHO") + item(kB, "B") + "</classe>",
                  kOldRoot + item(kB, "B") + item(kA, "NOVO") + "</classe>"},
        IndexCase{"a longer old item and text after the end",
                  kOldRoot + item(kA, "UM NOME MUITO MAIS LONGO QUE O NOVO") + "</classe>lixo<x>",
                  kOldRoot + item(kA, "NOVO") + "</classe>"},
        IndexCase{"a root closed without items",
                  R"(<?xml version="1.0" encoding="UTF-8"?>)" + kRoot + "/>",
                  kHead + item(kA, "NOVO") + "</classe>"},
        IndexCase{"pretty-printed", kOldRoot + "\r\n  " + item(kA, "VELHO") + "\n  " + item(kB, "B") + "\n</classe>\n",
                  kOldRoot + item(kB, "B") + item(kA, "NOVO") + "</classe>"},
        IndexCase{"cut before its end", kOldRoot + item(kB, "B") + "<item cpf=\"3",
                  kOldRoot + item(kB, "B") + item(kA, "NOVO") + "</classe>"},
        IndexCase{"a NUL byte ends the reading", kOldRoot + item(kB, "B") + std::string(1, '\0') + item(kB, "C"),
                  kOldRoot + item(kB, "B") + item(kA, "NOVO") + "</classe>"}));

TEST(IndexText, ItemCpfStandsAtCharactersTwelveToTwentyFive) {
    EXPECT_EQ(item_cpf(item(kB, "X")), kB);
    EXPECT_EQ(item_cpf("<classe xmlns=\"a\">"), "");
    EXPECT_EQ(item_cpf("<item cpf=\"1\"/>"), "");
}

TEST(IndexText, DeclarationIdentifierBecomesAnItem) {
    const std::string declaration = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                                    "\r\n<classe><contribuinte a=\"1\"/><copiaIdentificador cpf=\"" +
                                    kA + R"(" transmitida="0"/></classe>)";
    EXPECT_EQ(item_from_declaration(declaration), R"(<item cpf=")" + kA + R"(" transmitida="0"/>)");
    EXPECT_EQ(item_from_declaration("<classe><a/></classe><copiaIdentificador x=\"1\"/>"), "");
}

}  // namespace
}  // namespace qv::transfer
