// The structural check of the declaration file: it finds what it is meant
// to find, and every whole golden file passes it.
#include "system/transfer/structure_check.hpp"

#include <gtest/gtest.h>

#include "system/transfer/transfer_fixture.hpp"

namespace qv::transfer::testing {
namespace {

using Problems = std::vector<std::string>;

bool mentions(const Problems& problems, std::string_view what) {
    for (const auto& p : problems)
        if (p.find(what) != std::string::npos) return true;
    return false;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(StructureCheck, FindsEachKindOfFault) {
    const std::string good = golden("simple.xml");
    struct Case {
        std::string from, to;
        const char* found;
    };
    const Case cases[] = {
        {R"(bairro="Centro" bairroExt="")", R"(bairroExt="" bairro="Centro")", "contribuinte: attributes"},
        {R"(rendRecebidoPJ="50.000,00")", R"(rendRecebidoPJ="50000,00")", "rendRecebidoPJ: \"50000,00\" is not A"},
        {R"(totaisRendRecebidoPJ="50.000,00")", R"(totaisRendRecebidoPJ="50.000,01")", "totaisRendRecebidoPJ = 50.000,01"},
        {R"(<marco carneLeao="150,00" darfPago="150,00")", R"(<marco carneLeao="150,00" darfPago="15,00")", "totalDarfPago = 150,00"},
        {R"(mes="2")", R"(mes="2,0")", "month@mes"},
        {"<rendAcm ", "<rendAcum ", "rendAcum: element not in the layout"},
        {R"(exercicio="2012")", R"(exercicio="2011")", "exercicio"},
        {"Empresa Ltda", "Empresa\xE7Ltda", "byte 231"},
        {"</rendPJ>", "</rendPJX>", "closes <rendPJ>"},
    };
    EXPECT_EQ(structure_problems(good, false), Problems{});
    for (const Case& c : cases)
        EXPECT_TRUE(mentions(structure_problems(replaced(good, c.from, c.to), false), c.found)) << c.found;
    // A section moved out of its place.
    const std::size_t spouse = good.find("<conjuge ");
    const std::size_t end = good.find("/>", spouse) + 2;
    std::string moved = good;
    moved.erase(spouse, end - spouse);
    moved.insert(moved.find("<rendPJComExigibilidade>"), good.substr(spouse, end - spouse));
    EXPECT_TRUE(mentions(structure_problems(moved, false), "sections out of their order"));
    EXPECT_TRUE(mentions(structure_problems(good + "\n", false), "line break"));
    // The frame's own sections alone are not a whole file.
    EXPECT_TRUE(mentions(structure_problems(good), "sections out of their order"));
}

// The golden files that hold whole elements: the frame's sections of a
// simple declaration, the rural activity abroad.
TEST(StructureCheck, GoldenFilesPass) {
    EXPECT_EQ(structure_problems(golden("simple.xml"), false), Problems{});
    for (const std::string& fragment : golden_fragments("rural_abroad.xml"))
        EXPECT_EQ(structure_problems(fragment), Problems{});
}

}  // namespace
}  // namespace qv::transfer::testing
