#include "converter/last_year_sources.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
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

[[noreturn]] void mismatch(std::string_view field, const char* why) {
    throw FieldMismatch(std::string(field), rt::utf8_to_cp850(why));
}

// Digits with a sign and one decimal point or comma; thousands points
// before a decimal comma ("1.234,56") are passed over. Blank is 0.
std::optional<double> number_in_text(std::string text) {
    text = rt::ALLTRIM(text);
    if (text.empty()) return 0.0;
    if (text.find(',') != std::string::npos) {
        text = rt::STRTRAN(text, ".", "");
        text = rt::STRTRAN(text, ",", ".");
    }
    std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] == '.' && !point) point = true;
        else if (text[i] >= '0' && text[i] <= '9') digit = true;
        else return std::nullopt;
    }
    if (!digit) return std::nullopt;
    return std::strtod(text.c_str(), nullptr);
}

int digits_at(std::string_view s, std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "yyyymmdd", "dd/mm/yyyy" (or "-", "."), "dd/mm/yy" (years below 30 in
// this century); blank is the empty date.
std::optional<rt::Date> date_in_text(const std::string& raw) {
    const std::string text = rt::ALLTRIM(raw);
    if (text.empty() || rt::STRTRAN(rt::STRTRAN(text, "/", ""), " ", "").empty()) return rt::Date();
    int y = -1, m = -1, d = -1;
    if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos) {
        y = digits_at(text, 0, 4), m = digits_at(text, 4, 2), d = digits_at(text, 6, 2);
    } else if ((text.size() == 10 || text.size() == 8) && text[2] == text[5] &&
               std::string_view("/-.").find(text[2]) != std::string_view::npos) {
        d = digits_at(text, 0, 2), m = digits_at(text, 3, 2);
        y = digits_at(text, 6, text.size() - 6);
        if (text.size() == 8 && y >= 0) y += y < 30 ? 2000 : 1900;
    }
    if (y < 0 || m < 0 || d < 0 || !rt::is_valid_ymd(y, m, d)) return std::nullopt;
    return rt::Date::from_ymd(y, m, d);
}

std::string number_as_text(double v) {
    char buf[40];
    if (v == std::floor(v) && std::fabs(v) < 1e15) std::snprintf(buf, sizeof buf, "%.0f", v);
    else std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string as_text(const rt::Value& v) {
    if (v.is_string()) return v.as_string();
    if (v.is_number()) return number_as_text(v.as_number());
    if (v.is_date()) return v.as_date().empty() ? std::string() : rt::DTOC(v.as_date());
    if (v.is_logical()) return v.as_bool() ? "S" : "N";
    return {};
}

bool fits(const tb::Field& f, double v) {
    const int whole = f.len - (f.dec > 0 ? f.dec + 1 : 0);
    const double rounded = std::round(v * std::pow(10.0, f.dec)) / std::pow(10.0, f.dec);
    return std::fabs(rounded) < std::pow(10.0, rounded < 0 ? whole - 1 : whole);
}

}  // namespace

rt::Value fitted(const rt::Value& v, const tb::Field& to, std::string_view source) {
    switch (to.type) {
        case 'N': {
            double n = 0;
            if (v.is_number()) n = v.as_number();
            else if (v.is_string()) {
                const auto read = number_in_text(v.as_string());
                if (!read) mismatch(source, "não é um número");
                n = *read;
            } else if (v.is_logical()) n = v.as_bool() ? 1 : 0;
            else if (!v.is_nil()) mismatch(source, "de outro tipo");
            if (!fits(to, n)) mismatch(source, "grande demais");
            return rt::Value(n);
        }
        case 'D': {
            if (v.is_date() || v.is_nil()) return v.is_nil() ? rt::Value(rt::Date()) : v;
            const std::string text = v.is_number() ? number_as_text(v.as_number()) : v.is_string() ? v.as_string() : "?";
            if (v.is_number() && v.as_number() == 0) return rt::Value(rt::Date());
            const auto read = date_in_text(text);
            if (!read) mismatch(source, "não é uma data");
            return rt::Value(*read);
        }
        case 'L': {
            if (v.is_logical()) return v;
            const std::string text = rt::UPPER(rt::ALLTRIM(as_text(v)));
            if (text.empty() || text == "N" || text == "F" || text == "0") return rt::Value(false);
            if (text == "S" || text == "T" || text == "Y" || text == "1") return rt::Value(true);
            mismatch(source, "de outro tipo");
        }
        default:
            return rt::Value(as_text(v));
    }
}

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
            missing.push_back(name + ": não pôde ser aberto"_cp);
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

void copy_as(tb::Table& from, std::string_view source, tb::Table& to, std::string_view dest) {
    const int i = from.field_index(source), j = to.field_index(dest);
    if (i < 0 || j < 0) return;
    to.put(j, fitted(from.get(i), to.fields()[static_cast<std::size_t>(j)], source));
}

void copy_shared(tb::Table& from, tb::Table& to, std::initializer_list<const char*> names) {
    for (const char* f : names) copy_as(from, f, to, f);
}

void copy_all_shared(tb::Table& from, tb::Table& to) {
    for (const auto& f : from.fields()) copy_as(from, f.name, to, f.name);
}

double number_of(tb::Table& t, const char* field) {
    const int i = t.field_index(field);
    if (i < 0) return 0;
    const rt::Value v = t.get(i);
    if (v.is_number()) return v.as_number();
    if (!v.is_string()) return 0;
    const auto read = number_in_text(v.as_string());
    if (!read) mismatch(field, "não é um número");
    return *read;
}

std::string text_of(tb::Table& t, const char* field) {
    const int i = t.field_index(field);
    if (i < 0) return {};
    return as_text(t.get(i));
}

rt::Value date_of(tb::Table& t, const char* field) {
    const int i = t.field_index(field);
    if (i < 0) return rt::Value(rt::Date());
    tb::Field as_date;
    as_date.type = 'D';
    as_date.len = 8;
    return fitted(t.get(i), as_date, field);
}

}  // namespace qv::converter
