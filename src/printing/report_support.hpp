#pragma once
// Small pieces the taxpayer's reports share: a work-table record copied into
// the program's variables, rows in stored order, a yes/no question.
#include <string>
#include <string_view>

#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::printing {

// Every field of the current record into the variable of the same name.
void record_to_globals(rt::table::Table& t);
// A field of the current record as trimmed text.
std::string field_text(rt::table::Table& t, std::string_view name);
double field_number(rt::table::Table& t, std::string_view name);
// The name of a country of the country table; empty when unknown.
std::string country_name(const std::string& code);
// A count of 0-99 asked on the message line, starting at `value` and
// raised to `least`.
int ask_count(std::string_view prompt, int value, int least);
// Two numbers asked on one line into the globals `first` and `last`, from
// `lowest` to `highest` and the second not below the first; false on Esc.
bool ask_range(std::string_view prompt, const char* first, const char* last, int lowest, int highest);
// Asked with "Sim"/"Não"; Esc is "no".
bool ask_yes(std::string_view question);

// The undeleted rows of a work area in the order they were stored; the
// area's order is put back afterwards.
template <class Fn>
void for_stored_rows(int area, Fn fn) {
    auto* t = tables::ws().table(area);
    if (!t) return;
    const int order = t->order();
    t->set_order(0);
    for (t->go_top(); !t->eof(); t->skip(1))
        if (!t->deleted()) fn(*t);
    t->set_order(order);
}

}  // namespace qv::printing
