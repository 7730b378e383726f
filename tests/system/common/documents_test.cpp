// Check digits of CPF, CNPJ and NIT, the choice between CPF and CNPJ, and
// the punctuation of bare numbers.
#include "common/documents.hpp"

#include "common/globals.hpp"
#include "common_fixture.hpp"

namespace qv::common::testing {
namespace {

using CommonDocumentTest = CommonTest;

TEST_F(CommonDocumentTest, CheckDigitsOfKnownNumbers) {
    EXPECT_EQ(cpf_check_digits("123456789"), "09");
    EXPECT_EQ(cpf_check_digits("111444777"), "35");
    EXPECT_EQ(cnpj_check_digits("123456780001"), "95");
    EXPECT_EQ(cnpj_check_digits("112223330001"), "81");
    EXPECT_EQ(nit_check_digit("1234567890"), 0);
}

TEST_F(CommonDocumentTest, ValidCpfPassesWithoutAlert) {
    EXPECT_TRUE(VAL_CPF("12345678909", true));
    EXPECT_TRUE(VAL_CPF("11144477735   ", true));
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonDocumentTest, WrongCpfShowsTheCorrectDigits) {
    EXPECT_FALSE(VAL_CPF("12345678900", true));
    EXPECT_TRUE(term->showed("ATENÇÃO! CPF está incorreto.")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("O dígito correto deve ser:09")) << term->all_snapshots();
}

TEST_F(CommonDocumentTest, IncompleteCpf) {
    EXPECT_FALSE(VAL_CPF("1234567  09", true));
    EXPECT_TRUE(term->showed("ATENÇÃO! CPF está incompleto."));
}

TEST_F(CommonDocumentTest, EmptyCpfDependsOnRequiredAndAskName) {
    EXPECT_TRUE(VAL_CPF("           ", false));
    EXPECT_FALSE(VAL_CPF("           ", true));
    EXPECT_FALSE(VAL_CPF("", true, 0));
    // With the ask-name flag the search by name runs; without a register
    // open there is nothing to search and the answer is still true.
    EXPECT_TRUE(VAL_CPF("", true, 1));
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonDocumentTest, CnpjDigitsAndAlerts) {
    EXPECT_TRUE(VAL_CGC("12345678000195", true));
    EXPECT_FALSE(VAL_CGC("12345678000190", true));
    EXPECT_TRUE(term->showed("O dígito correto deve ser: 95"));
    EXPECT_FALSE(VAL_CGC("12345", true));
    EXPECT_TRUE(term->showed("ATENÇÃO! CNPJ está incompleto."));
    EXPECT_TRUE(VAL_CGC("              ", false));
    EXPECT_FALSE(VAL_CGC("              ", true));
}

TEST_F(CommonDocumentTest, CnpjFirstRemainderOneGivesZero) {
    // 6 x 2 = 12, remainder 1: first digit 0; 6 x 3 = 18, remainder 7: 4.
    EXPECT_EQ(cnpj_check_digits("000000000006"), "04");
    EXPECT_TRUE(VAL_CGC("00000000000604"));
}

TEST_F(CommonDocumentTest, NitWithAndWithoutPunctuation) {
    EXPECT_TRUE(VAL_NIT(""));
    EXPECT_TRUE(VAL_NIT("12345678900"));
    EXPECT_TRUE(VAL_NIT("123.45678.90-0"));
    EXPECT_TRUE(term->snapshots.empty());
    EXPECT_FALSE(VAL_NIT("12345678901"));
    EXPECT_TRUE(term->showed("ATENÇÃO! NIT está incorreto."));
    EXPECT_TRUE(term->showed("Para digitar o CPF use seta direita"));
    EXPECT_FALSE(VAL_NIT("123.456"));
    EXPECT_TRUE(term->showed("o NIT do empregado está errado"));
}

TEST_F(CommonDocumentTest, CpfCgcChoosesByPunctuation) {
    EXPECT_TRUE(CPFCGC("123.456.789-09", true));
    EXPECT_TRUE(CPFCGC("12.345.678/0001-95", true));
    EXPECT_TRUE(term->snapshots.empty());
    EXPECT_FALSE(CPFCGC("123.456.789-00", true));
    EXPECT_TRUE(term->showed("O dígito correto deve ser:09"));
}

TEST_F(CommonDocumentTest, CpfCgcWithoutPunctuationAsksForIt) {
    EXPECT_FALSE(CPFCGC("12345678909", true));
    EXPECT_TRUE(term->showed("Digite o CPF/CNPJ com nro. correto"));
    EXPECT_TRUE(term->showed("CPF=nnn.nnn.nnn-nn CNPJ=nn.nnn.nnn/nnnn-nn"));
}

TEST_F(CommonDocumentTest, CpfCgcRefusesDigitsBeyondTheDocument) {
    for (const char* text : {"529.982.247-25181", "11.222.333/0001-8199"}) {
        term->snapshots.clear();
        EXPECT_FALSE(CPFCGC(text, true)) << text;
        EXPECT_TRUE(term->showed("de dígitos CPF=11 e CNPJ=14")) << text;
    }
}

TEST_F(CommonDocumentTest, CpfCgcPassesNitAndEmpty) {
    EXPECT_TRUE(CPFCGC("123.45678.90-9", true));   // a NIT is not checked here
    EXPECT_FALSE(CPFCGC("   ", true));
    EXPECT_TRUE(CPFCGC("   ", false));
    EXPECT_TRUE(term->snapshots.empty());
}

TEST_F(CommonDocumentTest, Modulo11) {
    EXPECT_EQ(MODULO_11("261533"), "9");
    EXPECT_EQ(MODULO_11(""), "");
    EXPECT_EQ(MODULO_11("6"), "0");    // 12 mod 11 = 1 -> 10 -> 0
    EXPECT_EQ(MODULO_11("0"), "0");    // 0 -> 11 -> 0
    EXPECT_EQ(MODULO_11("12"), "4");   // 1 x 3 + 2 x 2 = 7; 11 - 7 = 4
}

TEST_F(CommonDocumentTest, TiraPonto) {
    EXPECT_EQ(TIRA_PONTO("123.456.789-09"), "12345678909");
    EXPECT_EQ(TIRA_PONTO("12.345.678/0001-95  "), "12345678000195");
    EXPECT_EQ(TIRA_PONTO("abc"), "");
}

TEST_F(CommonDocumentTest, PoePontoByPaymentCode) {
    const Global code("I6_3");
    code.set(rt::Value(36));
    EXPECT_EQ(POEPONTO("12345678000195", 1), "12.345.678/0001-95");
    code.set(rt::Value(10));
    EXPECT_EQ(POEPONTO("12345678909", 1), "123.456.789-09    ");
    code.set(rt::Value(50));
    EXPECT_EQ(POEPONTO("12345678900", 1), "123.45678.90-0    ");
    code.set(rt::Value("21"));   // a code kept as text counts the same
    EXPECT_EQ(POEPONTO("12345678000195    ", 1), "12.345.678/0001-95");
    code.set(rt::Value(99));     // other codes go by length
    EXPECT_EQ(POEPONTO("12345678909", 1), "123.456.789-09    ");
}

TEST_F(CommonDocumentTest, PoePontoLeavesPunctuatedAndBlankAlone) {
    EXPECT_EQ(POEPONTO("123.456.789-09    "), "123.456.789-09    ");
    EXPECT_EQ(POEPONTO("12.345.678/0001-95"), "12.345.678/0001-95");
    EXPECT_EQ(POEPONTO("                  "), "                  ");
    EXPECT_EQ(POEPONTO("12345678000195"), "12.345.678/0001-95");
}

TEST_F(CommonDocumentTest, ContaPontoByLength) {
    EXPECT_EQ(CONTAPONTO("12345678909"), "123.456.789-09    ");
    EXPECT_EQ(CONTAPONTO("12345678000195"), "12.345.678/0001-95");
    EXPECT_EQ(CONTAPONTO("1234"), "1234");
}

}  // namespace
}  // namespace qv::common::testing
