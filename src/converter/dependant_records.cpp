// Records 25 and 35 (dependants and alimony recipients) and records 26 and
// 34 (payments), whose beneficiaries point into those lists.
#include <algorithm>
#include <string>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr double kEducationLimit = 2958.23;

// The age check of a dependant: false drops him.
bool passes_age_check(const Line& l) {
    auto& v = rt::variables();
    v.set("CODIDEPEN", Value(l.number(19, 20)));
    v.set("DATADEPEN", Value(l.date(81, 88)));
    v.set("NOMEDEPEN", Value(l.text(21, 61)));
    return rt::call_function("VE_IDADE", {}).as_bool();
}

int position_in(const std::vector<int>& list, int value) {
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? 0 : static_cast<int>(at - list.begin()) + 1;
}

// The people are numbered as the program numbers them, 1, 2, 3 ... in the
// list's order, recipients after the dependants: a payment's person number
// is that place in the list, whatever numbers the file gave them.
void recipients(Conversion& c) {
    for (const Line& l : c.run("35")) {
        const int number = static_cast<int>(l.number(15, 19));
        tb::Table& t = new_row(3, c.cpf);
        t.put("CODIDEPEN", Value(l.at(14) == '0' ? 99 : 98));
        t.put("NRODEPEN", Value(static_cast<int>(c.household.size()) + 1));
        t.put("NOMEDEPEN", Value(l.text(20, 59)));
        t.put("DATADEPEN", Value(l.date(80, 87)));
        t.put("CPFDEPEN", Value(l.raw(88, 98)));
        c.household.push_back(50 + number);
    }
    table(3).commit();
}

void payment(Conversion& c, const Line& l, bool& alimony_given) {
    const int code = static_cast<int>(l.number(14, 15));
    tb::Table& t = new_row(6, c.cpf);
    t.put("I6_3", Value(code));
    t.put("I6_1", Value(l.text(35, 84)));
    if (code == 50) {
        t.put("I6_2", Value(l.doc(95, 105)));
        t.put("I6_7", Value(l.raw(21, 34)));
    } else {
        t.put("I6_2", Value(l.doc(21, 34)));
        t.put("I6_7", Value(rt::SPACE(11)));
    }
    const int number = static_cast<int>(l.number(16, 20));
    const char who = l.at(133);
    t.put("I6_6", Value(who == 'D' ? position_in(c.dependants, number) : who == 'A' ? number + 50 : 0));
    if (!c.y2012()) return;
    const double paid = l.amount(106, 118);
    double not_deductible = l.amount(119, 131);
    if ((code == 1 || code == 2) && paid > kEducationLimit) not_deductible = paid - kEducationLimit;
    t.put("I6_4", Value(paid));
    t.put("I6_5", Value(not_deductible));
    if ((code == 30 || code == 33) && !alimony_given && c.has("22")) {
        alimony_given = true;
        for (int month = 1; month <= 12; ++month)
            t.put("I6_4" + rt::STRZERO(month, 2), Value(c.titular[month - 1][5]));
    }
}

}  // namespace

void convert_dependants(Conversion& c) {
    delete_rows(3, c.cpf);
    for (const Line& l : c.run("25")) {
        if (!passes_age_check(l)) continue;
        const int number = static_cast<int>(l.number(14, 18));
        tb::Table& t = new_row(3, c.cpf);
        t.put("NRODEPEN", Value(static_cast<int>(c.dependants.size()) + 1));
        t.put("CODIDEPEN", Value(l.number(19, 20)));
        t.put("NOMEDEPEN", Value(l.text(21, 61)));
        t.put("DATADEPEN", Value(l.date(81, 88)));
        t.put("CPFDEPEN", Value(l.raw(89, 99)));
        t.put("SAIUJUNT", Value(l.at(100) == '1' ? "S" : " "));
        c.dependants.push_back(number);
    }
    c.household = c.dependants;
    table(3).commit();
}

void convert_payments(Conversion& c) {
    delete_rows(6, c.cpf);
    bool alimony_given = false;
    for (const Line& l : c.run("26")) payment(c, l, alimony_given);
    if (c.y2012())
        for (const Line& l : c.run("34")) {
            tb::Table& t = new_row(6, c.cpf);
            t.put("I6_3", Value(98));
            t.put("I6_2", Value(l.doc(14, 27)));
            t.put("I6_1", Value(l.text(28, 77)));
            t.put("I6_4", Value(l.amount(88, 100)));
        }
    table(6).commit();
    recipients(c);
    for_each_row(6, c.cpf, [&c](tb::Table& t) {
        const int beneficiary = static_cast<int>(t.get("I6_6").as_number());
        if (beneficiary > 50) t.put("I6_6", Value(position_in(c.household, beneficiary)));
    });
}

}  // namespace qv::converter
