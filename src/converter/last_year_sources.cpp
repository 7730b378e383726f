#include "converter/last_year_sources.hpp"

#include <cstdio>
#include <exception>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;

constexpr int kFirstSourceArea = 80;

std::string two(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

}  // namespace

int source_area(int code) { return kFirstSourceArea + code; }

SourceTables::SourceTables(const std::string& folder, std::string_view prefix, std::string_view suffix,
                           std::initializer_list<int> codes, std::vector<std::string>& missing) {
    for (const int code : codes) {
        const std::string name = std::string(prefix) + (prefix == "IMP" ? two(code) : std::to_string(code)) +
                                 std::string(suffix);
        tb::OpenOptions opt;
        opt.alias = code == 9 ? "origem" : "origem" + two(code);
        opt.read_only = true;
        opt.structural_index = false;
        try {
            tb::Table& t = tables::ws().use_in(source_area(code), folder + name, opt);
            if (t.field_index("CPF") < 0) {
                tables::ws().close(source_area(code));
                missing.push_back(name + ": sem o campo CPF");
                continue;
            }
            open_.push_back(code);
        } catch (const std::exception&) {
            missing.push_back(name + ": não pôde ser aberto");
        }
    }
}

SourceTables::~SourceTables() {
    for (const int code : open_) tables::ws().close(source_area(code));
}

tb::Table* SourceTables::get(int code) {
    for (const int c : open_)
        if (c == code) return tables::ws().table(source_area(code));
    return nullptr;
}

std::vector<std::uint32_t> SourceTables::rows(int code, std::string_view cpf) {
    std::vector<std::uint32_t> out;
    tb::Table* t = get(code);
    if (!t) return out;
    // Last year's indexes may be missing or stale: the rows are found by a walk.
    t->set_order(0);
    for (t->go_top(); !t->eof(); t->skip(1))
        if (!t->deleted() && rt::RTRIM(t->get("CPF").as_string()) == cpf) out.push_back(t->recno());
    return out;
}

void copy_shared(tb::Table& from, tb::Table& to, std::initializer_list<const char*> names) {
    for (const char* f : names) {
        const int i = from.field_index(f), j = to.field_index(f);
        if (i >= 0 && j >= 0) to.put(j, from.get(i));
    }
}

void copy_as(tb::Table& from, std::string_view source, tb::Table& to, std::string_view dest) {
    const int i = from.field_index(source), j = to.field_index(dest);
    if (i >= 0 && j >= 0) to.put(j, from.get(i));
}

void copy_all_shared(tb::Table& from, tb::Table& to) {
    for (const auto& f : from.fields()) {
        const int j = to.field_index(f.name);
        if (j >= 0) to.put(j, from.get(f.name));
    }
}

double number_of(tb::Table& t, const char* field) {
    const int i = t.field_index(field);
    if (i < 0) return 0;
    const rt::Value v = t.get(i);
    return v.is_number() ? v.as_number() : 0;
}

std::string text_of(tb::Table& t, const char* field) {
    const int i = t.field_index(field);
    if (i < 0) return {};
    const rt::Value v = t.get(i);
    return v.is_string() ? v.as_string() : std::string();
}

}  // namespace qv::converter
