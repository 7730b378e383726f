// The button sets of AVISOSN and what each answers.
#include "common/avisosn.hpp"

#include "common/globals.hpp"
#include "common_fixture.hpp"

namespace qv::common::testing {
namespace {

using CommonAvisosnTest = CommonTest;
using rt::key::ENTER;
using rt::key::ESC;
using rt::key::RIGHT;

TEST_F(CommonAvisosnTest, SimNaoAnswersLetters) {
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 2).as_string(), "N");
    keys({ENTER});
    EXPECT_EQ(AVISOSN("x", 2).as_string(), "S");
    keys({RIGHT, ENTER});
    EXPECT_EQ(AVISOSN("x", 2).as_string(), "N");
    EXPECT_TRUE(term->showed(" Sim "));
    EXPECT_TRUE(term->showed(" Não "));
}

TEST_F(CommonAvisosnTest, SetOneAnswersTheButtonNumber) {
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 1).as_number(), 0);
    keys({'n'});
    EXPECT_EQ(AVISOSN("x", 1).as_number(), 2);
}

TEST_F(CommonAvisosnTest, IgnoreAndFimSets) {
    keys({'i'});
    EXPECT_EQ(AVISOSN("x", 3).as_string(), "I");
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 3).as_string(), "N");
    keys({'F'});
    EXPECT_EQ(AVISOSN("x", 4).as_string(), "F");
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 4).as_string(), "N");
}

TEST_F(CommonAvisosnTest, DigitSets) {
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 5).as_string(), "0");
    keys({'3'});
    EXPECT_EQ(AVISOSN("x", 5).as_string(), "3");
    keys({'6'});
    EXPECT_EQ(AVISOSN("x", 7).as_number(), 6);
    keys({ESC});
    EXPECT_EQ(AVISOSN("x", 7).as_number(), 0);
}

TEST_F(CommonAvisosnTest, NoticesAnswerEmpty) {
    keys({ENTER});
    EXPECT_EQ(AVISOSN("x", 16).as_string(), "");
    keys({'s'});
    EXPECT_EQ(AVISOSN("x", 16).as_string(), "");
    keys({ENTER});
    const rt::Value ok = AVISOSN("aviso", 0);
    EXPECT_TRUE(ok.is_string());
    EXPECT_EQ(ok.as_string(), "");
    EXPECT_TRUE(term->showed(" Ok "));
}

TEST_F(CommonAvisosnTest, LinesAndColour) {
    Global("COR_SAY").set(rt::Value("N/W+"));
    const rt::Value lines = rt::Value::array();
    lines.as_array()->push_back(rt::Value("primeira linha"));
    lines.as_array()->push_back(rt::Value("segunda linha"));
    keys({ESC});
    AVISOSN(lines, 0);
    EXPECT_TRUE(term->showed("primeira linha"));
    EXPECT_TRUE(term->showed("segunda linha"));
    EXPECT_NE(term->all_snapshots().find(" F0 "), std::string::npos) << term->all_snapshots();
}

TEST_F(CommonAvisosnTest, TheScreenComesBack) {
    rt::at_say(12, 30, "conteudo");
    const std::string before = rt::SAVESCREEN();
    keys({ESC});
    AVISOSN("pergunta longa o bastante para cobrir o conteudo", 2);
    EXPECT_EQ(rt::SAVESCREEN(), before);
}

// While notices are kept, a notice is kept under its subject and nothing
// is shown; a question is still asked.
TEST_F(CommonAvisosnTest, KeptNoticesWaitInTheirListAndQuestionsAreAsked) {
    std::vector<std::string> kept;
    {
        NoticesKept keeping(kept);
        keeping.about("111.444.777-35 ANA");
        AVISOSN(std::vector<std::string>{"  Primeira linha  ", "segunda"});
        AVISOSN("Primeira linha;segunda");   // the same again: kept once
        keeping.about("");
        AVISOSN("Sem assunto", 0);
        keys({ENTER});
        EXPECT_EQ(AVISOSN("Pergunta?", 2).as_string(), "S");
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"111.444.777-35 ANA: Primeira linha segunda", "Sem assunto"}));
    EXPECT_FALSE(term->showed("Primeira"));
    EXPECT_TRUE(term->showed("Pergunta?"));
    keys({ENTER});
    AVISOSN("Mostrada");
    EXPECT_TRUE(term->showed("Mostrada"));
}

}  // namespace
}  // namespace qv::common::testing
