#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include "runtime/core/fields.hpp"
#include "runtime/core/scatter.hpp"
#include "runtime/core/varstore.hpp"

using namespace qv::rt;

namespace {

// Work areas holding one record each, enough for name resolution.
class OneRecordTables : public FieldResolver, public RecordAccess {
public:
    struct Area {
        std::string alias;
        std::vector<std::string> names;
        std::vector<Value> record;
    };
    std::map<int, Area> areas;
    int selected = 0;

    int selected_area() const override { return selected; }
    int area_of_alias(std::string_view alias) const override {
        for (const auto& [n, a] : areas)
            if (a.alias == alias) return n;
        return 0;
    }
    int field_index(int area, std::string_view name) const override {
        auto it = areas.find(area);
        if (it == areas.end()) return -1;
        for (std::size_t i = 0; i < it->second.names.size(); ++i)
            if (it->second.names[i] == name) return static_cast<int>(i);
        return -1;
    }
    std::uint64_t generation(int) const override { return 1; }
    Value get_field(int area, int index) const override { return areas.at(area).record.at(index); }
    void put_field(int area, int index, const Value& v) override { areas.at(area).record.at(index) = v; }
    int field_count(int area) const override {
        auto it = areas.find(area);
        return it == areas.end() ? 0 : static_cast<int>(it->second.names.size());
    }
    std::string field_name(int area, int index) const override { return areas.at(area).names.at(index); }
};

class VarStoreTest : public ::testing::Test {
protected:
    VarStore vars;
};

// ---- names ----

TEST_F(VarStoreTest, NamesIgnoreCaseTrailingBlanksAndMemvarPrefix) {
    vars.declare_public("i13_23", 5.0);
    EXPECT_EQ(vars.get("I13_23").as_number(), 5.0);
    EXPECT_EQ(vars.get("M->I13_23 ").as_number(), 5.0);
    EXPECT_EQ(vars.get("m->i13_23").as_number(), 5.0);
    EXPECT_EQ(vars.intern("i13_23"), vars.intern("M->I13_23  "));
    EXPECT_EQ(vars.name_of(vars.intern("abc ")), "ABC");
    EXPECT_TRUE(vars.exists("I13_23   "));
}

TEST_F(VarStoreTest, HandleReadsWhatTheNameReads) {
    VarHandle h = vars.intern("TOTAL");
    EXPECT_FALSE(vars.exists(h));
    EXPECT_EQ(vars.find(h), nullptr);
    vars.declare_public("total", 10.0);
    EXPECT_EQ(vars.get(h).as_number(), 10.0);
    vars.set(h, 11.0);
    EXPECT_EQ(vars.get("TOTAL").as_number(), 11.0);
}

TEST_F(VarStoreTest, ReadingAnUnknownNameThrowsUndefinedName) {
    try {
        vars.get("nowhere");
        FAIL() << "expected UndefinedName";
    } catch (const UndefinedName& e) {
        EXPECT_EQ(e.name(), "NOWHERE");
    }
    EXPECT_THROW(vars.get(vars.intern("NOWHERE")), UndefinedName);
    EXPECT_THROW(vars.read("NOWHERE"), UndefinedName);
}

TEST_F(VarStoreTest, FieldReferencesAndEmptyNamesAreNoVariableNames) {
    EXPECT_THROW(vars.intern("DECL->CPF"), std::invalid_argument);
    EXPECT_THROW(vars.set("FIELD->CPF", 1.0), std::invalid_argument);
    EXPECT_THROW(vars.declare_public("  ", 1.0), std::invalid_argument);
    EXPECT_FALSE(vars.exists("DECL->CPF"));
    EXPECT_THROW(vars.get("DECL->CPF"), UndefinedName);
}

TEST_F(VarStoreTest, SplitNameSeparatesAliasAndName) {
    QualifiedName q = split_name(" decl->cpf ");
    EXPECT_EQ(q.alias, "DECL");
    EXPECT_EQ(q.name, "CPF");
    EXPECT_FALSE(q.forces_variable());
    EXPECT_TRUE(split_name("M->X").forces_variable());
    EXPECT_TRUE(split_name("memvar->X").forces_variable());
    EXPECT_TRUE(split_name("FIELD->X").forces_field());
    EXPECT_TRUE(split_name("X").alias.empty());
}

// ---- lifetimes ----

TEST_F(VarStoreTest, PrivateDeclarationHidesOuterAndRestoresIt) {
    vars.declare_public("X", 1.0);
    {
        PrivateFrame routine(vars);
        vars.declare_private("X", 2.0);
        EXPECT_EQ(vars.get("X").as_number(), 2.0);
        {
            PrivateFrame callee(vars);   // sees its caller's private
            EXPECT_EQ(vars.get("X").as_number(), 2.0);
            vars.set("X", 3.0);          // assigns the caller's private
        }
        EXPECT_EQ(vars.get("X").as_number(), 3.0);
        EXPECT_EQ(vars.lifetime_of("X"), Lifetime::Private);
    }
    EXPECT_EQ(vars.get("X").as_number(), 1.0);
    EXPECT_EQ(vars.lifetime_of("X"), Lifetime::Program);
}

TEST_F(VarStoreTest, AssigningAnUnknownNameCreatesItInTheInnermostFrame) {
    {
        PrivateFrame outer(vars);
        {
            PrivateFrame inner(vars);
            vars.set("TEMP", 1.0);
            EXPECT_FALSE(vars.is_declared("TEMP"));
        }
        EXPECT_FALSE(vars.exists("TEMP"));
        vars.set("SHARED", 1.0);
        {
            PrivateFrame callee(vars);
            EXPECT_EQ(vars.get("SHARED").as_number(), 1.0);
            vars.set("SHARED", 2.0);
        }
        EXPECT_EQ(vars.get("SHARED").as_number(), 2.0);
    }
    EXPECT_FALSE(vars.exists("SHARED"));
}

TEST_F(VarStoreTest, FrameEndsWhenItsRoutineThrows) {
    try {
        PrivateFrame routine(vars);
        vars.set("PARTIAL", 1.0);
        throw std::runtime_error("user pressed Esc");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(vars.exists("PARTIAL"));
    EXPECT_EQ(vars.frame_count(), 0u);
}

TEST_F(VarStoreTest, AssignmentWithNoFrameCreatesAProgramVariable) {
    vars.set("COR_FUNDO", "N/W");
    EXPECT_EQ(vars.lifetime_of("COR_FUNDO"), Lifetime::Program);
    { PrivateFrame f(vars); }
    EXPECT_EQ(vars.get("COR_FUNDO").as_string(), "N/W");
}

TEST_F(VarStoreTest, DeclarationScopeReleasesItsVariablesTogether) {
    vars.declare_public("ANO", 2012.0);
    {
        DeclarationScope decl(vars);
        EXPECT_TRUE(vars.in_declaration());
        vars.declare_declaration("I13_01", 100.0);
        vars.declare_declaration("REC_MENSAL", Value::array(13));
        {
            PrivateFrame routine(vars);   // a routine of the declaration adds one
            vars.declare_declaration("I13_02", 5.0);
        }
        EXPECT_EQ(vars.get("I13_02").as_number(), 5.0);
        EXPECT_EQ(vars.lifetime_of("I13_01"), Lifetime::Declaration);
    }
    EXPECT_FALSE(vars.in_declaration());
    EXPECT_FALSE(vars.exists("I13_01"));
    EXPECT_FALSE(vars.exists("I13_02"));
    EXPECT_FALSE(vars.exists("REC_MENSAL"));
    EXPECT_EQ(vars.get("ANO").as_number(), 2012.0);
}

TEST_F(VarStoreTest, DeclarationVariableOutsideADeclarationIsAnError) {
    EXPECT_THROW(vars.declare_declaration("I13_01", 1.0), std::logic_error);
}

TEST_F(VarStoreTest, DeclarationVariableSlidesBeneathAPrivateOfTheSameName) {
    DeclarationScope decl(vars);
    {
        PrivateFrame routine(vars);
        vars.declare_private("A", 1.0);
        vars.declare_declaration("A", 2.0);
        EXPECT_EQ(vars.get("A").as_number(), 1.0);
    }
    EXPECT_EQ(vars.get("A").as_number(), 2.0);
}

TEST_F(VarStoreTest, ProgramVariableDeclaredUnderAPrivateAppearsWhenTheFrameEnds) {
    PrivateFrame routine(vars);
    vars.declare_private("Y", "private");
    vars.declare_public("Y", "public");
    EXPECT_EQ(vars.get("Y").as_string(), "private");
    vars.release("Y");
    EXPECT_EQ(vars.get("Y").as_string(), "public");
}

TEST_F(VarStoreTest, RedeclaringInTheSameFrameSetsTheValue) {
    PrivateFrame routine(vars);
    vars.set("Z", 1.0);
    EXPECT_FALSE(vars.is_declared("Z"));
    vars.declare_private("Z", 2.0);
    EXPECT_TRUE(vars.is_declared("Z"));
    EXPECT_EQ(vars.get("Z").as_number(), 2.0);
    vars.release("Z");
    EXPECT_FALSE(vars.exists("Z"));
}

TEST_F(VarStoreTest, ReleaseInsideAFrameLeavesTheFrameEndHarmless) {
    vars.declare_public("W", 1.0);
    {
        PrivateFrame routine(vars);
        vars.declare_private("W", 2.0);
        vars.release("W");
        EXPECT_EQ(vars.get("W").as_number(), 1.0);
    }
    EXPECT_EQ(vars.get("W").as_number(), 1.0);
}

TEST_F(VarStoreTest, ClearDropsEverything) {
    vars.declare_public("A", 1.0);
    VarHandle h = vars.intern("A");
    vars.clear();
    EXPECT_FALSE(vars.exists(h));
    vars.set(h, 3.0);
    EXPECT_EQ(vars.get("A").as_number(), 3.0);
}

// ---- resolution against the tables ----

class VarResolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables.areas[1] = {"DECL", {"CPF", "NOME"}, {Value("12345678901"), Value("ANA")}};
        tables.areas[2] = {"BENS", {"CODIGO", "VALOR"}, {Value("11"), Value(500.0)}};
        tables.selected = 1;
        set_field_resolver(&tables);
        set_record_access(&tables);
        variables().clear();
    }
    void TearDown() override {
        set_field_resolver(nullptr);
        set_record_access(nullptr);
        variables().clear();
    }
    OneRecordTables tables;
    VarStore& vars = variables();
};

TEST_F(VarResolveTest, BareNameReadsTheSelectedAreasFieldBeforeTheVariable) {
    vars.declare_public("CPF", "variable");
    vars.declare_public("SALDO", 7.0);
    EXPECT_EQ(vars.read("cpf").as_string(), "12345678901");
    EXPECT_EQ(vars.read("M->CPF").as_string(), "variable");
    EXPECT_EQ(vars.read("SALDO").as_number(), 7.0);
    tables.selected = 2;   // no CPF field there
    EXPECT_EQ(vars.read("CPF").as_string(), "variable");
}

TEST_F(VarResolveTest, AliasedNameReadsAndWritesThatAreasField) {
    EXPECT_EQ(vars.read("BENS->VALOR").as_number(), 500.0);
    EXPECT_EQ(vars.read("bens->codigo ").as_string(), "11");
    vars.assign("BENS->VALOR", 750.0);
    EXPECT_EQ(tables.areas[2].record[1].as_number(), 750.0);
    EXPECT_EQ(vars.read("FIELD->NOME").as_string(), "ANA");
    EXPECT_THROW(vars.read("NADA->VALOR"), UndefinedName);
    EXPECT_THROW(vars.read("BENS->CPF"), UndefinedName);
    EXPECT_THROW(vars.assign("BENS->CPF", 1.0), UndefinedName);
}

TEST_F(VarResolveTest, AssigningAFieldNameFillsTheField) {
    vars.assign("NOME", "BETO");
    EXPECT_EQ(tables.areas[1].record[1].as_string(), "BETO");
    EXPECT_FALSE(vars.exists("NOME"));
}

TEST_F(VarResolveTest, AssigningANameThatIsNoFieldCreatesAVariable) {
    {
        PrivateFrame routine(vars);
        vars.assign("CONTADOR", 1.0);
        EXPECT_EQ(vars.lifetime_of("CONTADOR"), Lifetime::Private);
    }
    EXPECT_FALSE(vars.exists("CONTADOR"));
    vars.assign("M->CPF", "forced");
    EXPECT_EQ(vars.get("CPF").as_string(), "forced");
    EXPECT_EQ(tables.areas[1].record[0].as_string(), "12345678901");
}

TEST_F(VarResolveTest, CopyingAFieldIntoTheVariableOfTheSameName) {
    vars.assign_variable("NOME", vars.read("NOME"));
    EXPECT_EQ(vars.get("NOME").as_string(), "ANA");
    vars.assign_variable("NOME", "CARLA");
    EXPECT_EQ(vars.read("NOME").as_string(), "ANA");   // the field is untouched
}

TEST_F(VarResolveTest, WithoutTablesNamesAreVariablesOnly) {
    set_field_resolver(nullptr);
    vars.assign("CPF", "x");
    EXPECT_EQ(vars.read("CPF").as_string(), "x");
    EXPECT_THROW(vars.read("DECL->CPF"), UndefinedName);
}

// ---- scatter / gather ----

TEST_F(VarResolveTest, ScatterCopiesEveryFieldIntoVariables) {
    PrivateFrame editor;
    EXPECT_EQ(scatter(0, Lifetime::Private), 2);
    EXPECT_EQ(vars.get("CPF").as_string(), "12345678901");
    EXPECT_EQ(vars.get("NOME").as_string(), "ANA");
    EXPECT_EQ(vars.lifetime_of("NOME"), Lifetime::Private);
    EXPECT_EQ(scatter(2, Lifetime::Private), 2);
    EXPECT_EQ(vars.get("VALOR").as_number(), 500.0);
}

TEST_F(VarResolveTest, GatherWritesBackFieldsThatHaveVariables) {
    {
        PrivateFrame editor;
        scatter(2, Lifetime::Private);
        vars.set("VALOR", 900.0);
        vars.release("CODIGO");
        EXPECT_EQ(gather(2), 1);
    }
    EXPECT_EQ(tables.areas[2].record[0].as_string(), "11");
    EXPECT_EQ(tables.areas[2].record[1].as_number(), 900.0);
    EXPECT_FALSE(vars.exists("VALOR"));   // released with the editor's frame
}

TEST_F(VarResolveTest, ScatterWithoutRecordAccessOrTableDoesNothing) {
    tables.selected = 0;
    EXPECT_EQ(scatter(0, Lifetime::Program), 0);
    tables.selected = 1;
    set_record_access(nullptr);
    EXPECT_EQ(scatter(0, Lifetime::Program), 0);
    EXPECT_EQ(gather(0), 0);
    EXPECT_FALSE(vars.exists("CPF"));
}

}  // namespace
