#include "printing/report_support.hpp"

#include <algorithm>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"

namespace qv::printing {

void record_to_globals(rt::table::Table& t) {
    for (int i = 0; i < t.field_count(); ++i) common::Global{t.fields()[std::size_t(i)].name}.set(t.get(i));
}

std::string field_text(rt::table::Table& t, std::string_view name) { return rt::TRIM(t.get(name).as_string()); }

double field_number(rt::table::Table& t, std::string_view name) { return common::number_of(t.get(name)); }

std::string country_name(const std::string& code) {
    constexpr int kCountries = 60;
    auto& ws = tables::ws();
    const int selected = ws.selected();
    if (!ws.table(kCountries) && !tables::ABERTURA(kCountries)) return {};
    auto* t = ws.table(kCountries);
    const std::string name = t && t->seek(rt::Value(code)) ? field_text(*t, "NOMPAIS") : std::string();
    ws.select(selected);
    return name;
}

int ask_count(std::string_view prompt, int value, int least) {
    const common::Global answer{"NRESP_CAD"};
    answer.set(rt::Value(value));
    common::MensArgs args;
    args.name = "M->NRESP_CAD";
    args.picture = "99";
    common::MENS(14, prompt, args);
    return std::max(answer.integer(value), least);
}

bool ask_range(std::string_view prompt, const char* first, const char* last, int lowest, int highest) {
    using common::Global;
    Global{first}.set(rt::Value(lowest));
    Global{last}.set(rt::Value(highest));
    const int col = 2 + static_cast<int>(prompt.size());
    rt::at_say(22, 2, prompt);
    rt::at_get(22, col + 1, std::string("M->") + first, "99").valid([first, lowest, highest] {
        const int v = Global{first}.integer();
        return v >= lowest && v <= highest;
    });
    rt::at_say(22, col + 4, "ate");
    rt::at_get(22, col + 8, std::string("M->") + last, "99").valid([first, last, highest] {
        const int v = Global{last}.integer();
        return v >= Global{first}.integer() && v <= highest;
    });
    const bool ok = rt::READ();
    rt::at_say(22, 2, rt::SPACE(60));
    return ok;
}

bool ask_yes(std::string_view question) { return common::AVISOSN(question, 2).as_string() == "S"; }

}  // namespace qv::printing
