#include "tables/settings_records.hpp"

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/startup.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using rt::operator""_cp;
namespace tb = rt::table;

constexpr int kCores = 56;
constexpr int kConfig = 42;

// A colour number that shows its text: a DOS attribute whose foreground
// differs from its background.
bool readable_number(const rt::Value& v) {
    if (!v.is_number()) return false;
    const double n = v.as_number();
    if (n < 0 || n > 255) return false;
    const int a = static_cast<int>(n);
    return (a & 0x0F) != ((a >> 4) & 0x0F);
}

// A colour string that shows its text.
bool readable_string(const rt::Value& v) {
    if (!v.is_string()) return false;
    const std::string s = rt::ALLTRIM(v.as_string());
    if (s.empty() || s.find('/') == std::string::npos) return false;
    const rt::Attr a = rt::parse_colour(s);
    return (a & 0x0F) != ((a >> 4) & 0x0F);
}

void write_fields(tb::Table& t, const common::FieldValues& values) {
    for (const auto& [name, value] : values)
        if (t.field_index(name) >= 0) t.put(name, value);
}

// The terminal's CORES values; nothing when the table or record cannot be had.
std::optional<common::FieldValues> read_cores(const std::string& terminal) {
    if (!ABERTURA(kCores)) return std::nullopt;
    tb::Table* t = ws().table(kCores);
    if (!t) return std::nullopt;
    if (!t->seek(rt::Value(terminal))) {
        ws().select(kCores);
        if (!ADD_REC(5)) return std::nullopt;
        t->put("NRO_TERM", rt::Value(terminal));
        write_fields(*t, common::cores_defaults());
        t->commit();
        t->unlock();
    }
    common::FieldValues loaded;
    for (const auto& [name, fallback] : common::cores_defaults())
        loaded.emplace_back(name, t->field_index(name) >= 0 ? t->get(name) : rt::Value{});
    return loaded;
}

}  // namespace

void CRIACOR() {
    const std::string terminal = tables::terminal();
    std::optional<common::FieldValues> loaded;
    try {
        loaded = read_cores(terminal);
    } catch (const tb::TableError&) {
        loaded.reset();
    }
    try {
        ws().close(kCores);
    } catch (const tb::TableError&) {
    }
    const common::FieldValues defaults = common::cores_defaults();
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        const auto& [name, fallback] = defaults[i];
        rt::Value v = loaded ? (*loaded)[i].second : rt::Value{};
        if (v.is_string()) v = rt::Value(rt::ALLTRIM(v.as_string()));
        const bool good = fallback.is_number() ? readable_number(v) : readable_string(v);
        common::Global{name}.set(good ? v : fallback);
    }
}

bool CONFIGURA(std::string_view terminal) {
    bool opened = false;
    try {
        opened = open_at_start(kConfig);
    } catch (const tb::TableError&) {
        opened = false;
    }
    tb::Table* t = opened ? ws().table(kConfig) : nullptr;
    if (!t) {
        // "In use" only when another copy holds it; otherwise what is wrong.
        const bool busy = failed_in_use() || last_open_failure().fault == OpenFault::None;
        common::AVISOSN(busy ? "Arquivo de configuraçao sendo usado no momento"_cp : open_failure_text(), 0);
        return false;
    }
    if (t->seek(rt::Value(std::string(terminal)))) return true;
    ws().select(kConfig);
    if (!ADD_REC(5)) return false;
    write_fields(*t, common::config_defaults(common::current_config_context(terminal)));
    t->commit();
    t->unlock();
    return true;
}

}  // namespace qv::tables
