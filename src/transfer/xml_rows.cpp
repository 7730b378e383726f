#include <cmath>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/state.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

std::string value_text(const rt::Value& v) {
    if (v.is_string()) return v.as_string();
    if (v.is_date()) return date_text(v.as_date());
    if (v.is_number()) {
        const double n = v.as_number();
        return rt::ALLTRIM(rt::STR(n, 20, n == std::floor(n) ? 0 : 2));
    }
    return {};
}

}  // namespace

// Each field is looked up once: finding a field by name is most of the
// cost of reading a row.
double field_amount(rt::table::Table& t, std::string_view field) {
    const int i = t.field_index(field);
    return i < 0 ? 0.0 : common::number_of(t.get(i));
}

std::string field_text(rt::table::Table& t, std::string_view field) {
    const int i = t.field_index(field);
    return i < 0 ? std::string() : value_text(t.get(i));
}

rt::Date field_date(rt::table::Table& t, std::string_view field) {
    const int i = t.field_index(field);
    if (i < 0) return {};
    const rt::Value v = t.get(i);
    return v.is_date() ? v.as_date() : rt::Date();
}

std::string source_kind(rt::table::Table& t) { return rt::UPPER(rt::LEFT(field_text(t, "I1_1"), 1)); }

void each_row(int area, const std::function<void(rt::table::Table&)>& visit) {
    declaration::for_each_row(area, visit);
}

bool same_order_key(std::string_view a, std::string_view b) {
    const auto plain = [](std::string_view k) { return rt::UPPER(rt::STRTRAN(k, " ", "")); };
    return plain(a) == plain(b);
}

void each_row_of(int area, std::string_view order_key, const std::string& seek_key,
                 const std::function<bool(rt::table::Table&)>& belongs,
                 const std::function<void(rt::table::Table&)>& visit) {
    auto& ws = tables::ws();
    rt::table::Table* t = ws.table(area);
    if (t == nullptr) return;
    if (!same_order_key(t->order_key(), order_key)) {
        each_row(area, [&](rt::table::Table& row) {
            if (belongs(row)) visit(row);
        });
        return;
    }
    const rt::table::Workspace::Selected keep_selection(ws, area);
    const std::uint32_t position = t->recno();
    t->seek(rt::Value(seek_key), true);
    for (; !t->eof() && belongs(*t); t->skip()) visit(*t);
    if (position >= 1 && position <= t->lastrec()) t->go_to(position);
    else t->go_top();
}

std::string global_text(std::string_view name) { return value_text(common::Global{name}.value()); }

}  // namespace qv::transfer
