#include "printing/report_support.hpp"

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

void record_to_globals(rt::table::Table& t) {
    for (int i = 0; i < t.field_count(); ++i) common::Global{t.fields()[std::size_t(i)].name}.set(t.get(i));
}

std::string field_text(rt::table::Table& t, std::string_view name) { return rt::TRIM(t.get(name).as_string()); }

double field_number(rt::table::Table& t, std::string_view name) { return common::number_of(t.get(name)); }

bool ask_yes(std::string_view question) { return common::AVISOSN(question, 2).as_string() == "S"; }

}  // namespace qv::printing
