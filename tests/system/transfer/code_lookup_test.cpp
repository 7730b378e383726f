// Names and codes from the reference lists of the program folder: found
// whatever their case and blanks, and found again after the list changed.
#include <string>

#include "runtime/core/cp850.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/code_lookup.hpp"

namespace qv::transfer {
namespace {

using rt::operator""_cp;

class CodeLookupTest : public test_support::FoldersTest {
protected:
    void TearDown() override {
        tables::ws().close_all();
        FoldersTest::TearDown();
    }
};

struct Lookup {
    const char* name;
    const char* state;
    const char* code;
};

TEST_F(CodeLookupTest, MunicipalitiesAndCountriesFromTheirLists) {
    const Lookup municipalities[] = {{"Campinas", "SP", "6291"},      {"  campinas ", "sp", "6291"},
                                     {"Campinas", "RS", ""},          {"Campinas do Sul", "RS", "8575"},
                                     {"Nova Cidade", "SP", ""},       {"", "SP", ""}};
    for (const auto& m : municipalities)
        EXPECT_EQ(municipality_code(m.name, m.state), m.code) << m.name << "/" << m.state;
    EXPECT_EQ(country_name("013"), "Afeganistão"_cp);
    EXPECT_EQ(country_name(" 013 "), "Afeganistão"_cp);
    EXPECT_EQ(country_name("000"), "");

    ASSERT_TRUE(tables::ABERTURA(64));
    rt::table::Table& t = *tables::ws().table(64);
    ASSERT_TRUE(t.append_blank());
    t.put("NOMEMUNI", rt::Value("Nova Cidade"));
    t.put("NROMUNI", rt::Value("9999"));
    t.put("UNIFED", rt::Value("SP"));
    t.commit();
    t.unlock();
    tables::ws().close(64);
    EXPECT_EQ(municipality_code("NOVA CIDADE", "SP"), "9999") << "a row added to the list is found";
    EXPECT_EQ(municipality_code("Campinas", "SP"), "6291");
}

}  // namespace
}  // namespace qv::transfer
