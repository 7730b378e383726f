// The month calendar's moves, its window, and the month's birthdays from
// every data folder of the list.
#include "office/calendar.hpp"

#include <filesystem>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"

namespace qv::office {
namespace {

using common::Global;
namespace tb = rt::table;
namespace key = rt::key;

TEST(Calendar, MovesAcrossMonthsAndYears) {
    struct Case {
        CalendarDay from;
        int key;
        CalendarDay to;
    } cases[] = {
        {{28, 1, 2012}, key::DOWN, {4, 2, 2012}},
        {{28, 1, 2011}, key::DOWN, {4, 2, 2011}},
        {{3, 3, 2011}, key::UP, {24, 2, 2011}},
        {{3, 3, 2012}, key::UP, {25, 2, 2012}},
        {{31, 12, 2011}, key::RIGHT, {1, 1, 2012}},
        {{1, 3, 2100}, key::LEFT, {28, 2, 2100}},   // Gregorian: 2100 is not a leap year
        {{1, 3, 2000}, key::LEFT, {29, 2, 2000}},
        {{31, 3, 2011}, key::PGUP, {28, 2, 2011}},
        {{15, 12, 2011}, key::PGDN, {15, 1, 2012}},
        {{15, 6, 2011}, 'x', {15, 6, 2011}},
    };
    for (const auto& c : cases) EXPECT_EQ(calendar_move(c.from, c.key), c.to) << c.from.day << "/" << c.from.month;
    EXPECT_EQ(QUEMES(3), "Marco    ");
    EXPECT_EQ(QUEMES(13), "         ");
}

class CalendarWindowTest : public test_support::FoldersTest {
protected:
    void TearDown() override {
        rt::reset_clock();
        FoldersTest::TearDown();
    }
    // A register in `folder` with taxpayers born on the given dates.
    static void register_in(const std::string& folder, std::initializer_list<std::pair<const char*, rt::Date>> people) {
        const std::string path = folder + "IMP0912.DBF";
        if (!std::filesystem::exists(path)) tb::create_table(path, *tables::schema_of(9), tb::MemoKind::None);
        tb::OpenOptions exclusive;
        exclusive.exclusive = true;
        tb::Table& t = tables::ws().use_in(60, path, exclusive);
        for (const auto& [name, born] : people) {
            ASSERT_TRUE(t.append_blank());
            t.put("NOMECONTR", rt::Value(name));
            t.put("NASCIMENTO", rt::Value(born));
            t.commit();
        }
        tables::ws().close(60);
    }
};

TEST_F(CalendarWindowTest, EnterReturnsTheDayMovedTo) {
    rt::set_clock(rt::Date::from_ymd(2012, 1, 28));
    keys({key::DOWN, key::RIGHT, key::ENTER});
    FOLHINHA();
    EXPECT_EQ(Global{"CARDIA"}.text(), "05");
    EXPECT_EQ(Global{"CARMES"}.text(), "02");
    EXPECT_EQ(Global{"CARANO"}.text(), "2012");
    EXPECT_TRUE(Global{"VOLTOU"}.value().as_bool());
    EXPECT_TRUE(term->showed("diferença de "));
}

TEST_F(CalendarWindowTest, TheHeadLineCountsTheDaysFromToday) {
    rt::set_clock(rt::Date::from_ymd(2012, 1, 28));
    struct Case {
        std::initializer_list<int> moves;
        std::string head;
    } cases[] = {
        // The month's name takes its nine places; the plural fits the line.
        {{key::DOWN, key::DOWN, key::DOWN, key::DOWN}, "25 de Fevereiro de 2012 diferença de   28 dias"},
        {{key::RIGHT}, "29 de Janeiro   de 2012 diferença de    1 dia "},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        rt::set_clock(rt::Date::from_ymd(2012, 1, 28));
        keys(c.moves);
        keys({key::ENTER});
        FOLHINHA();
        EXPECT_TRUE(term->showed(c.head)) << c.head;
    }
}

TEST_F(CalendarWindowTest, BirthdaysOfTheMonthFromEveryFolder) {
    const std::string other = root + "/other/";
    std::filesystem::create_directories(other);
    register_in(client, {{"ANA", rt::Date::from_ymd(1970, 5, 3)}, {"BIA", rt::Date::from_ymd(1980, 6, 1)}});
    register_in(other, {{"CAIO", rt::Date::from_ymd(1964, 5, 31)}, {"DUDA", rt::Date::from_ymd(1988, 2, 29)}});
    ASSERT_TRUE(tables::ABERTURA(50));
    for (const std::string& f : {client, other, root + "/gone/"}) {
        tb::Table& list = *tables::ws().table(50);
        ASSERT_TRUE(list.append_blank());
        list.put("DIRETOR", rt::Value(f));
        list.commit();
    }
    Global{"MESCALEN"}.set(rt::Value(5));
    Global{"ANOCALEN"}.set(rt::Value(2011));
    for (int run = 1; run <= 2; ++run) {
        keys({key::ENTER});
        NIVER_MES();
    }
    EXPECT_TRUE(term->showed("  2 contribuintes fazem aniversário nesse mês"));
    tb::Table& agenda = *tables::ws().table(72);
    EXPECT_EQ(agenda.lastrec(), 4u);   // twice the same month adds them twice
    agenda.go_to(2);
    EXPECT_EQ(rt::TRIM(agenda.get("ANOTAG").as_string()), "Aniversario de CAIO");
    EXPECT_EQ(agenda.get("DATAG").as_date(), rt::Date::from_ymd(2011, 5, 31));
    EXPECT_EQ(tables::client_folder(), client);

    Global{"MESCALEN"}.set(rt::Value(2));
    keys({key::ENTER});
    NIVER_MES();
    tb::Table& after = *tables::ws().table(72);
    after.go_bottom();
    EXPECT_EQ(after.get("DATAG").as_date(), rt::Date::from_ymd(2011, 2, 28));

    Global{"MESCALEN"}.set(rt::Value(7));
    keys({key::ENTER});
    NIVER_MES();
    EXPECT_TRUE(term->showed("Nenhum contribuinte faz aniversário nesse mês"));
}

}  // namespace
}  // namespace qv::office
