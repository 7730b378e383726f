#include <gtest/gtest.h>

#include <map>
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/fields.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/varstore.hpp"

using namespace qv::rt;

namespace {

// Tables in memory: areas with an alias, field names and rows, a current row
// per area, and a generation that moves when a table is (re)opened.
class FakeTables : public FieldResolver {
public:
    struct Area {
        std::string alias;
        std::vector<std::string> names;
        std::vector<std::vector<Value>> rows;
        std::size_t current = 0;
    };
    std::map<int, Area> areas;
    std::map<int, std::uint64_t> generations;
    int selected = 0;
    mutable int lookups = 0;

    void open(int area, Area a) {
        areas[area] = std::move(a);
        ++generations[area];
    }
    int selected_area() const override { return selected; }
    int area_of_alias(std::string_view alias) const override {
        if (!alias.empty() && alias[0] >= '1' && alias[0] <= '9') {
            int n = std::stoi(std::string(alias));
            return areas.count(n) ? n : 0;
        }
        for (const auto& [n, a] : areas)
            if (a.alias == alias) return n;
        return 0;
    }
    int field_index(int area, std::string_view name) const override {
        ++lookups;
        auto it = areas.find(area);
        if (it == areas.end()) return -1;
        for (std::size_t i = 0; i < it->second.names.size(); ++i)
            if (it->second.names[i] == name) return static_cast<int>(i);
        return -1;
    }
    std::uint64_t generation(int area) const override {
        auto it = generations.find(area);
        return it == generations.end() ? 0 : it->second;
    }
    Value get_field(int area, int index) const override {
        const Area& a = areas.at(area);
        return a.rows.at(a.current).at(index);
    }
    void put_field(int area, int index, const Value& v) override {
        Area& a = areas.at(area);
        a.rows.at(a.current).at(index) = v;
    }
};

Value ev(std::string_view text) { return Expr::compile(text).eval(); }
double num(std::string_view text) { return ev(text).as_number(); }
std::string str(std::string_view text) { return ev(text).as_string(); }
bool lgc(std::string_view text) {
    Value v = ev(text);
    EXPECT_TRUE(v.is_logical()) << text;
    return v.as_bool();
}

// Position of the syntax error in `text`, or npos when it compiles.
std::size_t error_at(std::string_view text) {
    try {
        Expr::compile(text);
    } catch (const ExprError& e) {
        return e.position();
    }
    return std::string::npos;
}

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override {
        variables().clear();
        set_field_resolver(nullptr);
    }
    void TearDown() override {
        set_field_resolver(nullptr);
        variables().clear();
    }
};

// ---- literals and operators ----

TEST_F(ExprTest, Literals) {
    EXPECT_EQ(num("42"), 42.0);
    EXPECT_EQ(num("3.25"), 3.25);
    EXPECT_EQ(num(".5"), 0.5);
    EXPECT_EQ(str("\"dq\""), "dq");
    EXPECT_EQ(str("'sq'"), "sq");
    EXPECT_EQ(str("[br]"), "br");
    EXPECT_EQ(str("\"it's\""), "it's");
    EXPECT_EQ(str("[say \"hi\"]"), "say \"hi\"");
}

TEST_F(ExprTest, LogicalLiteralsAndNil) {
    EXPECT_TRUE(lgc(".T."));
    EXPECT_TRUE(lgc(".y."));
    EXPECT_FALSE(lgc(".F."));
    EXPECT_FALSE(lgc(".n."));
    EXPECT_TRUE(ev("NIL").is_nil());
}

TEST_F(ExprTest, ArithmeticAndPrecedence) {
    EXPECT_EQ(num("1+2*3"), 7.0);
    EXPECT_EQ(num("(1+2)*3"), 9.0);
    EXPECT_EQ(num("10-2-3"), 5.0);
    EXPECT_EQ(num("24/4/2"), 3.0);
    EXPECT_EQ(num("10/4"), 2.5);
    EXPECT_EQ(num("7%3"), 1.0);
    EXPECT_EQ(num("2**3"), 8.0);
    EXPECT_EQ(num("2^3*2"), 16.0);
    EXPECT_EQ(num("2*3^2"), 18.0);
    EXPECT_EQ(num("-2+5"), 3.0);
    EXPECT_EQ(num("-(2+5)"), -7.0);
    EXPECT_EQ(num("+4"), 4.0);
    EXPECT_EQ(num("1 - -1"), 2.0);
}

TEST_F(ExprTest, DivisionByZeroGivesZero) {
    EXPECT_EQ(num("5/0"), 0.0);
    EXPECT_EQ(num("1+5/0"), 1.0);
}

TEST_F(ExprTest, StringOperators) {
    EXPECT_EQ(str("'AB'+'CD'"), "ABCD");
    EXPECT_EQ(str("'AB  '-'CD'"), "ABCD  ");
    EXPECT_TRUE(lgc("'AB' $ 'XABY'"));
    EXPECT_FALSE(lgc("'AC' $ 'XABY'"));
    EXPECT_FALSE(lgc("'' $ 'XABY'"));
}

TEST_F(ExprTest, EqualsComparesAPrefixDoubleEqualsTheWholeText) {
    EXPECT_TRUE(lgc("'ABC' = 'AB'"));
    EXPECT_FALSE(lgc("'AB' = 'ABC'"));
    EXPECT_TRUE(lgc("'ABC' = ''"));
    EXPECT_FALSE(lgc("'ABC' == 'AB'"));
    EXPECT_TRUE(lgc("'AB' == 'AB'"));
    EXPECT_FALSE(lgc("'ABC' != 'AB'"));
    EXPECT_TRUE(lgc("'ABC' <> 'ABD'"));
    EXPECT_TRUE(lgc("'ABC' # 'ABD'"));
}

TEST_F(ExprTest, Ordering) {
    EXPECT_TRUE(lgc("'B' > 'A'"));
    EXPECT_TRUE(lgc("3 <= 3"));
    EXPECT_FALSE(lgc("3 < 3"));
    EXPECT_TRUE(lgc("4 >= 3"));
    EXPECT_TRUE(lgc("1+1 == 2"));
    EXPECT_FALSE(lgc("1 == 'A'"));   // different types are never equal
}

TEST_F(ExprTest, LogicalOperatorsAndPrecedence) {
    EXPECT_TRUE(lgc(".T. .OR. .F. .AND. .F."));    // .AND. binds tighter
    EXPECT_FALSE(lgc("(.T. .OR. .F.) .AND. .F."));
    EXPECT_FALSE(lgc("!.F. .AND. .F."));
    EXPECT_TRUE(lgc(".NOT. .F."));
    EXPECT_TRUE(lgc("!1 == 2"));                    // !(1 == 2)
    EXPECT_TRUE(lgc("1 == 1 .and. !2 == 3"));
    EXPECT_TRUE(lgc(".F. == !.T."));
    EXPECT_TRUE(lgc("1 < 2 .AND. 'A' = 'A' .OR. .F."));
}

// ---- calls, laziness ----

int g_calls = 0;

class ExprCallTest : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        g_calls = 0;
        register_function("BOOM", [](std::span<const Value>) {
            ++g_calls;
            return Value(true);
        });
    }
};

TEST_F(ExprCallTest, AndOrShortCircuit) {
    EXPECT_FALSE(lgc(".F. .AND. BOOM()"));
    EXPECT_TRUE(lgc(".T. .OR. BOOM()"));
    EXPECT_EQ(g_calls, 0);
    EXPECT_TRUE(lgc(".T. .AND. BOOM()"));
    EXPECT_EQ(g_calls, 1);
}

TEST_F(ExprCallTest, IifEvaluatesOnlyTheChosenBranch) {
    EXPECT_EQ(num("IIF(.T., 1, BOOM())"), 1.0);
    EXPECT_EQ(num("iif(1 > 2, BOOM(), 2)"), 2.0);
    EXPECT_EQ(g_calls, 0);
    EXPECT_TRUE(ev("IF(.F., 1)").is_nil());
}

TEST_F(ExprCallTest, RegisteredFunctionsGetTheirArguments) {
    register_function("ve_stat", [](std::span<const Value> a) {
        return Value(a[0].as_string() + "/" + std::to_string(static_cast<int>(a[1].as_number())) +
                     "/" + std::to_string(a.size()));
    });
    EXPECT_EQ(str("VE_STAT('A', 3)"), "A/3/2");
    EXPECT_EQ(str("Ve_Stat('B', 1+1)"), "B/2/2");
    // An empty place is NIL.
    register_function("KIND", [](std::span<const Value> a) { return Value(std::string(1, type_letter(a[1].type()))); });
    EXPECT_EQ(str("KIND(1,,3)"), "U");
}

// A routine called by name that nothing registered is a fault of the
// program: it is raised with the name, never taken for an empty answer.
TEST_F(ExprCallTest, CallingAnUnregisteredRoutineIsAFaultNamingIt) {
    try {
        call_routine("never_registered", {Value(1)});
        FAIL() << "no fault raised";
    } catch (const UnregisteredRoutine& e) {
        EXPECT_NE(std::string(e.what()).find("NEVER_REGISTERED"), std::string::npos) << e.what();
    }
    register_function("ANSWERS_NOTHING", [](std::span<const Value>) { return Value(); });
    register_function("ANSWERS_NO", [](std::span<const Value>) { return Value(false); });
    EXPECT_TRUE(call_as_bool("answers_nothing"));
    EXPECT_FALSE(call_as_bool("ANSWERS_NO"));
}

TEST_F(ExprCallTest, ReplacingARoutineReachesExpressionsCompiledBefore) {
    register_function("TAXA", [](std::span<const Value>) { return Value(1.0); });
    Expr e = Expr::compile("TAXA()");
    EXPECT_EQ(e.eval().as_number(), 1.0);
    register_function("TAXA", [](std::span<const Value>) { return Value(2.0); });
    EXPECT_EQ(e.eval().as_number(), 2.0);
}

TEST_F(ExprCallTest, ManyArguments) {
    register_function("SUM8", [](std::span<const Value> a) {
        double s = 0;
        for (const auto& v : a) s += v.as_number();
        return Value(s);
    });
    EXPECT_EQ(num("SUM8(1,2,3,4,5,6,7,8)"), 36.0);
}

// ---- built-ins (hand-worked values) ----

TEST_F(ExprTest, TextBuiltins) {
    EXPECT_EQ(str("UPPER('abc')"), "ABC");
    EXPECT_EQ(str("lower('ABC')"), "abc");
    EXPECT_EQ(str("STR(42,4)"), "  42");
    EXPECT_EQ(str("STR(3.14159,6,2)"), "  3.14");
    EXPECT_EQ(str("STR(-7,4)"), "  -7");
    EXPECT_EQ(str("STR(0)"), "         0");
    EXPECT_EQ(str("STR(1234567)"), "   1234567");
    EXPECT_EQ(str("STR(12345,4)"), "****");
    EXPECT_EQ(str("STR(-123,3)"), "***");
    EXPECT_EQ(str("STR(2.5,3,0)"), "  3");
    EXPECT_EQ(str("STR(1.25)"), "         1.25");   // 10 + point + 2 decimals
    EXPECT_EQ(str("STR(42,4,1)"), "42.0");
    EXPECT_EQ(str("STRZERO(7,3)"), "007");
    EXPECT_EQ(str("SUBSTR('ABCDEF',2,3)"), "BCD");
    EXPECT_EQ(str("SUBSTR('ABCDEF',4)"), "DEF");
    EXPECT_EQ(str("LEFT('ABCDEF',2)"), "AB");
    EXPECT_EQ(str("RIGHT('ABCDEF',2)"), "EF");
    EXPECT_EQ(str("TRIM('  A  ')"), "  A");
    EXPECT_EQ(str("RTRIM('  A  ')"), "  A");
    EXPECT_EQ(str("LTRIM('  A  ')"), "A  ");
    EXPECT_EQ(str("ALLTRIM('  A  ')"), "A");
    EXPECT_EQ(str("PADR('AB',4)"), "AB  ");
    EXPECT_EQ(str("PADL('7',3,'0')"), "007");
    EXPECT_EQ(str("PADC('X',3,'*')"), "*X*");
    EXPECT_EQ(str("PADR(12,4)"), "12  ");
    EXPECT_EQ(num("VAL(' 12.5')"), 12.5);
    EXPECT_EQ(num("AT('B','ABCB')"), 2.0);
    EXPECT_EQ(num("RAT('B','ABCB')"), 4.0);
    EXPECT_EQ(str("REPLICATE('ab',3)"), "ababab");
    EXPECT_EQ(str("SPACE(2)"), "  ");
    EXPECT_EQ(str("STRTRAN('1.234.567','.','')"), "1234567");
    EXPECT_EQ(str("STRTRAN('aaaa','a','b',2,2)"), "abba");
    EXPECT_EQ(str("CHR(65)"), "A");
    EXPECT_EQ(num("ASC('A')"), 65.0);
}

TEST_F(ExprTest, NumberBuiltins) {
    EXPECT_EQ(num("ROUND(2.345,2)"), 2.35);
    EXPECT_EQ(num("ROUND(-2.5,0)"), -3.0);
    EXPECT_EQ(num("INT(-2.7)"), -2.0);
    EXPECT_EQ(num("ABS(-3)"), 3.0);
    EXPECT_EQ(num("MAX(2,5)"), 5.0);
    EXPECT_EQ(num("MIN(2,5)"), 2.0);
    EXPECT_EQ(str("DTOS(MAX(STOD('20120101'),STOD('20111231')))"), "20120101");
}

TEST_F(ExprTest, DateBuiltins) {
    EXPECT_EQ(str("DTOS(STOD('20120430'))"), "20120430");
    EXPECT_EQ(str("DTOC(CTOD('30/04/2012'))"), "30/04/2012");
    EXPECT_EQ(num("YEAR(STOD('20120430'))"), 2012.0);
    EXPECT_EQ(num("MONTH(STOD('20120430'))"), 4.0);
    EXPECT_EQ(num("DAY(STOD('20120430'))"), 30.0);
    EXPECT_EQ(num("DOW(STOD('20120430'))"), 2.0);   // a Monday
    EXPECT_EQ(num("STOD('20120301') - STOD('20120228')"), 2.0);   // leap year
    set_clock(Date::from_ymd(2012, 4, 30));
    EXPECT_EQ(str("DTOS(DATE()+1)"), "20120501");
    reset_clock();
}

TEST_F(ExprTest, ValueBuiltins) {
    EXPECT_TRUE(lgc("EMPTY('   ')"));
    EXPECT_FALSE(lgc("EMPTY(' x ')"));
    EXPECT_TRUE(lgc("EMPTY(0)"));
    EXPECT_TRUE(lgc("EMPTY(STOD(''))"));
    EXPECT_EQ(num("LEN('abc')"), 3.0);
    EXPECT_EQ(num("LEN({1,2})"), 2.0);
    EXPECT_EQ(str("VALTYPE(1)+VALTYPE('a')+VALTYPE(.T.)+VALTYPE(DATE())+VALTYPE({})+VALTYPE(NIL)"), "NCLDAU");
}

// ---- variables, arrays, assignment ----

TEST_F(ExprTest, VariablesAndMemvarPrefix) {
    variables().declare_public("I13_23", 10.0);
    EXPECT_EQ(num("I13_23 * 2"), 20.0);
    EXPECT_EQ(num("m->i13_23 + 1"), 11.0);
    EXPECT_THROW(ev("NOWHERE + 1"), UndefinedName);
    EXPECT_THROW(ev("M->NOWHERE"), UndefinedName);
}

TEST_F(ExprTest, AssignmentsAndExpressionLists) {
    EXPECT_EQ(num("X := 5"), 5.0);
    EXPECT_EQ(variables().get("X").as_number(), 5.0);
    EXPECT_EQ(num("M->X += 2"), 7.0);
    EXPECT_EQ(num("X -= 1"), 6.0);
    EXPECT_EQ(num("X *= 2"), 12.0);
    EXPECT_EQ(num("X /= 4"), 3.0);
    EXPECT_EQ(num("(A := 1, B := A + 1, B * 10)"), 20.0);
    EXPECT_EQ(num("C := D := 4"), 4.0);   // right to left
    EXPECT_EQ(variables().get("C").as_number(), 4.0);
    EXPECT_TRUE(lgc("(ERRO := 'campo', .T.)"));
    EXPECT_EQ(variables().get("ERRO").as_string(), "campo");
}

TEST_F(ExprTest, AssignmentInsideARoutineFrameIsPrivate) {
    {
        PrivateFrame routine;
        ev("TMP := 1");
        EXPECT_TRUE(variables().exists("TMP"));
    }
    EXPECT_FALSE(variables().exists("TMP"));
}

TEST_F(ExprTest, ArraysAndSubscripts) {
    EXPECT_EQ(num("{10,20,30}[2]"), 20.0);
    EXPECT_EQ(num("{1,{2,3}}[2,1]"), 2.0);
    EXPECT_EQ(num("{1,{2,3}}[2][2]"), 3.0);
    EXPECT_EQ(num("LEN({})"), 0.0);
    Value m = Value::array(13);
    for (std::size_t i = 0; i < 13; ++i) (*m.as_array())[i] = Value::array(2);
    variables().declare_public("REC_MENSAL", m);
    ev("REC_MENSAL[3,2] := 'mar'");
    EXPECT_EQ(m.at(3).at(2).as_string(), "mar");   // the shared array changed
    EXPECT_EQ(str("REC_MENSAL[3][2]"), "mar");
    ev("REC_MENSAL[1,1] := 5, REC_MENSAL[1,1] += 1");
    EXPECT_EQ(m.at(1).at(1).as_number(), 6.0);
}

TEST_F(ExprTest, ArrayMisuseIsARunTimeError) {
    variables().declare_public("A", Value::array(2));
    variables().declare_public("N", 1.0);
    EXPECT_THROW(ev("N[1]"), ExprError);
    EXPECT_THROW(ev("A[3]"), ExprError);
    EXPECT_THROW(ev("A[0] := 1"), ExprError);
    EXPECT_THROW(ev("A['x']"), ExprError);
}

TEST_F(ExprTest, BracketIsAStringUnlessItFollowsAValue) {
    variables().declare_public("A", Value::array(1));
    ev("A[1] := [x]");
    EXPECT_EQ(str("A[1] + [y]"), "xy");
    EXPECT_EQ(str("UPPER([a,b])"), "A,B");
}

// ---- syntax errors ----

TEST_F(ExprTest, SyntaxErrorsGivePositionAndText) {
    EXPECT_EQ(error_at("1 +"), 3u);
    EXPECT_EQ(error_at("1 2"), 2u);
    EXPECT_EQ(error_at("UPPER(NOME"), 10u);
    EXPECT_EQ(error_at("X + 'abc"), 4u);
    EXPECT_EQ(error_at("A .XOR. B"), 2u);
    EXPECT_EQ(error_at("3 := 4"), 2u);
    EXPECT_EQ(error_at("(1, 2"), 5u);
    EXPECT_EQ(error_at("A[1"), 3u);
    EXPECT_EQ(error_at("A -> "), 5u);
    EXPECT_EQ(error_at("A ; B"), 2u);
    EXPECT_EQ(error_at(""), 0u);
    EXPECT_EQ(error_at("   "), 0u);
    EXPECT_EQ(error_at("IIF(.T.)"), 0u);
    try {
        Expr::compile("CPF + * 2");
        FAIL() << "expected ExprError";
    } catch (const ExprError& e) {
        EXPECT_EQ(e.position(), 6u);
        EXPECT_EQ(e.text(), "CPF + * 2");
        EXPECT_NE(std::string(e.what()).find("CPF + * 2"), std::string::npos);
    }
}

TEST_F(ExprTest, UnknownFunctionFailsAtCompileTime) {
    EXPECT_EQ(error_at("1 + NO_SUCH_FN(2)"), 4u);
    EXPECT_FALSE(is_valid_expr("NO_SUCH_FN()"));
    EXPECT_TRUE(is_valid_expr("UPPER(X)"));
}

TEST_F(ExprTest, EvalTextCompilesOnceAndEvaluatesEachTime) {
    variables().declare_public("V", 1.0);
    EXPECT_EQ(eval_text("V + 1").as_number(), 2.0);
    variables().set("V", 5.0);
    EXPECT_EQ(eval_text("V + 1").as_number(), 6.0);
    EXPECT_THROW(eval_text("V +"), ExprError);
}

TEST_F(ExprTest, EmptyExprGivesNil) {
    Expr e;
    EXPECT_TRUE(e.empty());
    EXPECT_TRUE(e.eval().is_nil());
}

// ---- on tables ----

class ExprTableTest : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        tables.open(1, {"DECLARA",
                        {"CPF", "I7_0", "ATV_BRASIL", "DT_LC", "NOMECONTR", "I1_1", "I1_11", "I1_2", "ESTATUS"},
                        {{Value("12345678901"), Value(42.0), Value("S"), Value(Date::from_ymd(2011, 12, 31)),
                          Value("joão da silva"_cp), Value("01"), Value("A"),
                          Value("PAGAMENTOS A PROFISSIONAIS LIBERAIS"), Value(2.0)},
                         {Value("98765432100"), Value(7.0), Value("N"), Value(Date{}), Value("maria"),
                          Value("02"), Value("B"), Value("X"), Value(0.0)}}});
        tables.open(2, {"AGENDA", {"HORAG", "DATAG", "PER_RED1"},
                        {{Value("09:30"), Value(Date::from_ymd(2012, 4, 30)), Value(0.275)}}});
        tables.selected = 1;
        set_field_resolver(&tables);
    }
    FakeTables tables;
};

TEST_F(ExprTableTest, IndexKeys) {
    Expr key = Expr::compile("CPF+str(I7_0,4)");
    EXPECT_EQ(key.eval().as_string(), "12345678901  42");
    tables.areas[1].current = 1;
    EXPECT_EQ(key.eval().as_string(), "98765432100   7");
    tables.areas[1].current = 0;
    EXPECT_EQ(str("CPF+ATV_BRASIL+DTOS(DT_LC)"), "12345678901S20111231");
    tables.selected = 2;
    EXPECT_EQ(str("HORAG+DTOC(DATAG)"), "09:3030/04/2012");
    tables.selected = 1;
    EXPECT_EQ(str("UPPER(NOMECONTR)"), "JOÃO DA SILVA"_cp);
}

TEST_F(ExprTableTest, FilterComparesFieldsWithVariablesOfTheSameName) {
    variables().declare_public("I1_1", "01");
    variables().declare_public("I1_11", "A");
    Expr filter = Expr::compile("I1_1 == M->I1_1 .AND. I1_11 == M->I1_11");
    EXPECT_TRUE(filter.eval().as_bool());
    tables.areas[1].current = 1;
    EXPECT_FALSE(filter.eval().as_bool());
}

TEST_F(ExprTableTest, TextsWrittenWithoutBlanks) {
    variables().declare_public("I1_1", "01");
    variables().declare_public("I1_11", "A");
    EXPECT_TRUE(ev("I1_1==M->I1_1.AND.I1_11==M->I1_11").as_bool());
    EXPECT_TRUE(ev("I7_0>41.AND.!EMPTY(CPF).OR.1.5>2").as_bool());
    EXPECT_EQ(num("I7_0*2.5"), 105.0);
}

TEST_F(ExprTableTest, GridColumns) {
    register_function("VE_STAT", [](std::span<const Value> a) {
        static const char* names[] = {"", "ABERTA", "PRONTA"};
        int code = static_cast<int>(a[0].as_number());
        return Value(std::string(names[code]).substr(0, static_cast<std::size_t>(a[1].as_number())));
    });
    EXPECT_EQ(str("substr(I1_2,1,21)"), "PAGAMENTOS A PROFISSI");
    EXPECT_EQ(str("VE_STAT(ESTATUS,3)"), "PRO");
    EXPECT_DOUBLE_EQ(num("AGENDA->PER_RED1*100"), 27.5);
    tables.selected = 2;
    EXPECT_DOUBLE_EQ(num("PER_RED1*100"), 27.5);
}

TEST_F(ExprTableTest, AliasAndFieldPrefixes) {
    tables.selected = 2;
    EXPECT_EQ(str("DECLARA->CPF"), "12345678901");
    EXPECT_EQ(str("declara->cpf + FIELD->HORAG"), "1234567890109:30");
    EXPECT_EQ(str("1->CPF"), "12345678901");
    EXPECT_THROW(ev("NADA->CPF"), UndefinedName);
    EXPECT_THROW(ev("FIELD->CPF"), UndefinedName);
}

TEST_F(ExprTableTest, BareNameFallsBackToTheVariableWhereTheAreaHasNoSuchField) {
    variables().declare_public("HORAG", "var");
    EXPECT_EQ(str("HORAG"), "var");
    tables.selected = 2;
    EXPECT_EQ(str("HORAG"), "09:30");
    tables.selected = 0;
    EXPECT_EQ(str("HORAG"), "var");
}

TEST_F(ExprTableTest, AssigningANameToItselfCopiesTheFieldIntoTheVariable) {
    EXPECT_EQ(str("NOMECONTR := NOMECONTR"), "joão da silva"_cp);
    EXPECT_EQ(variables().get("NOMECONTR").as_string(), "joão da silva"_cp);
    ev("NOMECONTR := 'ANA'");   // the variable; the field keeps its value
    EXPECT_EQ(variables().get("NOMECONTR").as_string(), "ANA");
    EXPECT_EQ(tables.areas[1].rows[0][4].as_string(), "joão da silva"_cp);
    EXPECT_EQ(str("NOMECONTR"), "joão da silva"_cp);   // reading still finds the field
    ev("I7_0 += 1");   // field read, variable written
    EXPECT_EQ(variables().get("I7_0").as_number(), 43.0);
    EXPECT_EQ(tables.areas[1].rows[0][1].as_number(), 42.0);
}

TEST_F(ExprTableTest, FieldAndAliasPrefixesWriteFields) {
    ev("FIELD->NOMECONTR := 'ANA'");
    EXPECT_EQ(tables.areas[1].rows[0][4].as_string(), "ANA");
    EXPECT_FALSE(variables().exists("NOMECONTR"));
    ev("AGENDA->HORAG := '10:00'");
    EXPECT_EQ(tables.areas[2].rows[0][0].as_string(), "10:00");
    ev("DECLARA->I7_0 += 1");
    EXPECT_EQ(tables.areas[1].rows[0][1].as_number(), 43.0);
    EXPECT_THROW(ev("AGENDA->NADA := 1"), UndefinedName);
}

TEST_F(ExprTableTest, FieldPositionIsLookedUpOncePerTable) {
    Expr e = Expr::compile("I7_0");
    tables.lookups = 0;
    for (int i = 0; i < 5; ++i) e.eval();
    EXPECT_EQ(tables.lookups, 1);
    // Another table in the same area, with the field elsewhere.
    tables.open(1, {"OUTRA", {"X", "I7_0"}, {{Value(1.0), Value(99.0)}}});
    EXPECT_EQ(e.eval().as_number(), 99.0);
    EXPECT_EQ(tables.lookups, 2);
}

}  // namespace
