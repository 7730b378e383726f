// Index keys read straight from the record bytes give what the key
// expression gives: numbers laid out by STR() and STRZERO() among them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/table/fast_key.hpp"

namespace qv::rt::table::test {
namespace {

// CPF C 11, I7_0 N 4, VAL N 12.2, BEM N 2, as a record holds them after
// the deleted flag.
const std::vector<Field> kFields = {
    {"CPF", 'C', 11, 0, 1}, {"I7_0", 'N', 4, 0, 12}, {"VAL", 'N', 12, 2, 16}, {"BEM", 'N', 2, 0, 28}};

std::string record(const std::string& cpf, const std::string& i7_0, const std::string& val, const std::string& bem) {
    return " " + cpf + i7_0 + val + bem;
}

struct Case {
    const char* expr;
    std::string rec;
    int key_len;
    const char* key;
};

TEST(FastKey, NumbersLaidOutAsStrAndStrzeroLayThem) {
    const std::string cpf = "11144477735";
    const Case cases[] = {
        {"CPF+str(I7_0,4)", record(cpf, "  12", "        0.00", " 7"), 15, "11144477735  12"},
        {"CPF+STR(I7_0,4)", record(cpf, "    ", "            ", "  "), 15, "11144477735   0"},
        {"CPF+STR(I7_0,2)", record(cpf, "1000", "        0.00", " 7"), 13, "11144477735**"},
        {"STRZERO(BEM,2)+STRZERO(I7_0,4)", record(cpf, "  30", "        0.00", " 7"), 6, "070030"},
        {"STRZERO(I7_0,6)", record(cpf, " -12", "        0.00", " 7"), 6, "-00012"},
        {"STR(VAL,12,2)", record(cpf, "   1", "     1234.50", " 7"), 12, "     1234.50"},
        {"STR(VAL,8,1)", record(cpf, "   1", "       12.25", " 7"), 8, "    12.3"},
        {"STR( I7_0 , 5 )+CPF", record(cpf, "   5", "        0.00", " 7"), 16, "    511144477735"},
        {"STR(VAL,12,2)", record(cpf, "   1", "         .50", " 7"), 12, "        0.50"},
        {"STR(VAL,10,2)", record(cpf, "   1", "       -2.00", " 7"), 10, "     -2.00"},
        {"STR(I7_0,4)", record(cpf, "0012", "        0.00", " 7"), 4, "  12"},
        {"STRZERO(VAL,9,2)", record(cpf, "   1", "       -0.00", " 7"), 9, "000000.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expr);
        const std::optional<FastKey> k = FastKey::compile(c.expr, kFields);
        ASSERT_TRUE(k.has_value());
        EXPECT_EQ(k->natural_type(), KeyType::Character);
        EXPECT_EQ(k->eval(c.rec.data(), KeyType::Character, c.key_len), c.key);
        std::string into(static_cast<std::size_t>(c.key_len), '?');
        k->eval_into(c.rec.data(), c.key_len, into.data());
        EXPECT_EQ(into, c.key);
    }
}

TEST(FastKey, OtherUsesOfStrAreLeftToTheEvaluator) {
    for (const char* expr : {"STR(CPF,11)", "STR(I7_0)", "STR(I7_0,4,2,1)", "STR(I7_0,X)", "STR(NOPE,4)",
                             "CPF+STR(I7_0,4", "STR(I7_0,4)+10", "VAL(STR(I7_0,4))"}) {
        SCOPED_TRACE(expr);
        EXPECT_FALSE(FastKey::compile(expr, kFields).has_value());
    }
}

}  // namespace
}  // namespace qv::rt::table::test
