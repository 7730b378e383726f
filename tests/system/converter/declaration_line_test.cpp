// Reading fields from a declaration line, and the lines of a file.
#include <gtest/gtest.h>

#include "converter/declaration_file.hpp"
#include "runtime/core/date.hpp"

namespace qv::converter {
namespace {

TEST(DeclarationLine, FieldsByColumn) {
    const Line l("27ABC00012345-0000100\xE7X   15032011");
    EXPECT_EQ(l.type(), "27");
    EXPECT_EQ(l.raw(3, 5), "ABC");
    EXPECT_EQ(l.raw(33, 37), "11   ");             // past the end: blanks
    EXPECT_DOUBLE_EQ(l.amount(6, 13), 123.45);
    EXPECT_DOUBLE_EQ(l.amount(14, 21), -1.00);      // a minus sign anywhere
    EXPECT_DOUBLE_EQ(l.number(6, 13, 10), 1234.5);
    EXPECT_EQ(l.text(22, 23), "\x87X");             // Windows ç becomes the DOS letter
    EXPECT_EQ(rt::DTOC(l.date(27, 34)), "15/03/2011");
    EXPECT_TRUE(l.date(3, 10).empty());
    EXPECT_TRUE(l.blank(24, 26));
}

TEST(DeclarationLine, LinesEndAtLineFeedOrNul) {
    FileBuffer f{std::string("16A\r\n21B\0T9\n", 12), 0};
    EXPECT_EQ(LELINHA(f), "16A\r\n");
    EXPECT_EQ(LELINHA(f), std::string("21B\0", 4));
    EXPECT_EQ(LELINHA(f), "T9\n");
    EXPECT_EQ(LELINHA(f), "");
}

TEST(DeclarationLine, ReceiptGetsTwoCheckDigits) {
    EXPECT_EQ(receipt_number("1234567890"), "123456789091");
    EXPECT_EQ(receipt_number("          "), "");
}

}  // namespace
}  // namespace qv::converter
