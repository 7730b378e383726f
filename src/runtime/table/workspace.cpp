#include "runtime/table/workspace.hpp"

#include <cctype>

#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table {

namespace {

std::string upper_trim(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

bool all_digits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

Workspace::Workspace() = default;

Workspace::~Workspace() {
    for (int a = 1; a <= kMaxArea; ++a) {
        try {
            close(a);
        } catch (...) {
            // closing at the end of the program: nobody left to tell
        }
    }
    if (field_resolver() == this) set_field_resolver(nullptr);
}

Table* Workspace::at(int area) const {
    if (area == 0) area = selected_;
    if (area < 1 || area > kMaxArea) return nullptr;
    return areas_[static_cast<std::size_t>(area)].get();
}

int Workspace::select(int area) {
    if (area == 0) {
        for (int a = 1; a <= kMaxArea; ++a)
            if (!areas_[static_cast<std::size_t>(a)]) { selected_ = a; return a; }
        throw TableError("no free work area");
    }
    if (area < 1 || area > kMaxArea) throw TableError("work area " + std::to_string(area) + " out of range");
    selected_ = area;
    return area;
}

int Workspace::select(std::string_view alias_or_number) {
    const std::string a = upper_trim(alias_or_number);
    if (all_digits(a)) return select(std::stoi(a));
    const int area = area_of_alias(a);
    if (area > 0) selected_ = area;
    return area;
}

int Workspace::area_of_alias(std::string_view alias) const {
    const std::string a = upper_trim(alias);
    if (all_digits(a)) {
        const int n = std::stoi(a);
        return n >= 1 && n <= kMaxArea ? n : 0;
    }
    for (int i = 1; i <= kMaxArea; ++i) {
        const Table* t = areas_[static_cast<std::size_t>(i)].get();
        if (t && t->alias() == a) return i;
    }
    return 0;
}

Table& Workspace::use(std::string_view file, const OpenOptions& opt) {
    return use_in(selected_, file, opt);
}

Table& Workspace::use_in(int area, std::string_view file, const OpenOptions& opt) {
    if (area == 0) area = selected_;
    if (area < 1 || area > kMaxArea) throw TableError("work area " + std::to_string(area) + " out of range");
    close(area);
    const std::string path = resolve_path(with_default_extension(file, ".dbf"));
    const std::string alias = upper_trim(opt.alias.empty() ? stem_of(path) : opt.alias);
    if (const int other = area_of_alias(alias); other != 0 && !all_digits(alias))
        throw TableError(path + ": alias " + alias + " already in use in area " + std::to_string(other));
    auto& slot = areas_[static_cast<std::size_t>(area)];
    slot = std::make_unique<Table>(*this, area, path, opt);
    generation_[static_cast<std::size_t>(area)] = next_generation_++;
    try {
        slot->open(opt);
    } catch (...) {
        slot.reset();
        generation_[static_cast<std::size_t>(area)] = next_generation_++;
        throw;
    }
    return *slot;
}

void Workspace::close(int area) {
    if (area == 0) area = selected_;
    if (area < 1 || area > kMaxArea) return;
    auto& slot = areas_[static_cast<std::size_t>(area)];
    if (!slot) return;
    // Written while the table is still in its area: the index keys are
    // expressions over its fields.
    try {
        slot->unlock();
    } catch (...) {
        slot.reset();
        generation_[static_cast<std::size_t>(area)] = next_generation_++;
        throw;
    }
    slot.reset();
    generation_[static_cast<std::size_t>(area)] = next_generation_++;
}

void Workspace::close_all() {
    for (int a = 1; a <= kMaxArea; ++a) close(a);
}

Table* Workspace::table(int area) { return at(area); }

Table& Workspace::current(int area) {
    Table* t = at(area);
    if (!t) throw TableError("work area " + std::to_string(area == 0 ? selected_ : area) + " is not in use");
    return *t;
}

std::string Workspace::alias(int area) const {
    const Table* t = at(area);
    return t ? t->alias() : std::string();
}

int Workspace::field_index(int area, std::string_view name) const {
    const Table* t = at(area);
    return t ? t->field_index(name) : -1;
}

std::uint64_t Workspace::generation(int area) const {
    if (area < 1 || area > kMaxArea) return 0;
    return generation_[static_cast<std::size_t>(area)];
}

Value Workspace::get_field(int area, int index) const {
    Table* t = at(area);
    if (!t) throw TableError("work area " + std::to_string(area) + " is not in use");
    return t->get(index);
}

void Workspace::put_field(int area, int index, const Value& v) {
    Table* t = at(area);
    if (!t) throw TableError("work area " + std::to_string(area) + " is not in use");
    t->put(index, v);
}

Workspace& workspace() {
    static Workspace* ws = [] {
        static Workspace w;
        set_field_resolver(&w);
        register_table_functions(w);
        return &w;
    }();
    return *ws;
}

}  // namespace qv::rt::table
