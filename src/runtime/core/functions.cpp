#include "runtime/core/functions.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include "runtime/core/clock.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {

namespace {

std::string upper_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// ---- argument access: a missing argument is NIL ----

const Value& arg(std::span<const Value> a, std::size_t i) {
    static const Value nil;
    return i < a.size() ? a[i] : nil;
}
const std::string& s_arg(std::span<const Value> a, std::size_t i) { return arg(a, i).as_string(); }
double n_arg(std::span<const Value> a, std::size_t i) { return arg(a, i).as_number(); }
long l_arg(std::span<const Value> a, std::size_t i) { return static_cast<long>(arg(a, i).as_number()); }
// A number argument that may be left out.
long opt_l_arg(std::span<const Value> a, std::size_t i, long dflt) {
    return arg(a, i).is_number() ? static_cast<long>(arg(a, i).as_number()) : dflt;
}
Date d_arg(std::span<const Value> a, std::size_t i) { return arg(a, i).as_date(); }

// The text the padding functions give numbers and dates.
std::string as_text(const Value& v) {
    switch (v.type()) {
    case Type::Character: return v.as_string();
    case Type::Date: return DTOC(v.as_date());
    case Type::Logical: return v.as_bool() ? "T" : "F";
    case Type::Number: {
        double n = v.as_number();
        if (n == std::floor(n) && std::fabs(n) < 1e15) return std::to_string(static_cast<long long>(n));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.10f", n);
        std::string s(buf);
        while (!s.empty() && s.back() == '0') s.pop_back();
        return s;
    }
    default: return {};
    }
}

char fill_arg(std::span<const Value> a, std::size_t i) {
    const Value& v = arg(a, i);
    return (v.is_string() && !v.as_string().empty()) ? v.as_string()[0] : ' ';
}

// STR() of a whole number without decimals, the common case of index keys
// ("CPF+STR(I7_0,4)"), laid out directly; anything else goes to STR().
std::string str_builtin(std::span<const Value> a) {
    const double n = n_arg(a, 0);
    long width = opt_l_arg(a, 1, -1);
    const long decimals = opt_l_arg(a, 2, -1);
    const bool whole = n == std::trunc(n) && std::fabs(n) < 1e15 && !(n == 0 && std::signbit(n));
    if (!whole || decimals > 0) return STR(n, static_cast<int>(width), static_cast<int>(decimals));
    if (width <= 0) width = 10;
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(n));
    const auto len = static_cast<long>(end - digits);
    if (ec != std::errc() || len > width) return std::string(static_cast<std::size_t>(width), '*');
    std::string out(static_cast<std::size_t>(width - len), ' ');
    out.append(digits, end);
    return out;
}

// STRTRAN with the optional first occurrence to replace and how many.
std::string strtran(std::span<const Value> a) {
    const std::string& s = s_arg(a, 0);
    const std::string& from = s_arg(a, 1);
    const std::string& to = s_arg(a, 2);
    long start = opt_l_arg(a, 3, 1);
    long count = opt_l_arg(a, 4, -1);
    if (a.size() <= 3) return STRTRAN(s, from, to);
    if (from.empty()) return s;
    std::string out;
    long seen = 0, done = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        ++seen;
        if (seen >= start && (count < 0 || done < count)) {
            out.append(s, pos, hit - pos);
            out += to;
            ++done;
        } else {
            out.append(s, pos, hit - pos + from.size());
        }
        pos = hit + from.size();
    }
    out.append(s, pos, std::string::npos);
    return out;
}

// MAX/MIN over numbers, dates or texts; the first argument wins a tie.
Value pick(std::span<const Value> a, bool want_max) {
    const Value& x = arg(a, 0);
    const Value& y = arg(a, 1);
    auto c = compare(x, y);
    if (want_max) return (c < 0) ? y : x;
    return (c > 0) ? y : x;
}

using Registry = std::unordered_map<std::string, std::unique_ptr<FunctionEntry>>;

void add(Registry& r, std::string_view name, Function fn) {
    std::string key = upper_ascii(name);
    auto& slot = r[key];
    if (!slot) slot = std::make_unique<FunctionEntry>(FunctionEntry{key, {}});
    slot->fn = std::move(fn);
}

using Args = std::span<const Value>;

void add_text_builtins(Registry& r) {
    add(r, "UPPER", [](Args a) { return Value(UPPER(s_arg(a, 0))); });
    add(r, "LOWER", [](Args a) { return Value(LOWER(s_arg(a, 0))); });
    add(r, "STR", [](Args a) { return Value(str_builtin(a)); });
    add(r, "STRZERO", [](Args a) {
        return Value(STRZERO(n_arg(a, 0), static_cast<int>(opt_l_arg(a, 1, -1)), static_cast<int>(opt_l_arg(a, 2, -1))));
    });
    add(r, "SUBSTR", [](Args a) { return Value(SUBSTR(s_arg(a, 0), l_arg(a, 1), opt_l_arg(a, 2, -1))); });
    add(r, "LEFT", [](Args a) { return Value(LEFT(s_arg(a, 0), l_arg(a, 1))); });
    add(r, "RIGHT", [](Args a) { return Value(RIGHT(s_arg(a, 0), l_arg(a, 1))); });
    add(r, "TRIM", [](Args a) { return Value(TRIM(s_arg(a, 0))); });
    add(r, "RTRIM", [](Args a) { return Value(RTRIM(s_arg(a, 0))); });
    add(r, "LTRIM", [](Args a) { return Value(LTRIM(s_arg(a, 0))); });
    add(r, "ALLTRIM", [](Args a) { return Value(ALLTRIM(s_arg(a, 0))); });
    add(r, "PADR", [](Args a) { return Value(PADR(as_text(arg(a, 0)), l_arg(a, 1), fill_arg(a, 2))); });
    add(r, "PADL", [](Args a) { return Value(PADL(as_text(arg(a, 0)), l_arg(a, 1), fill_arg(a, 2))); });
    add(r, "PADC", [](Args a) { return Value(PADC(as_text(arg(a, 0)), l_arg(a, 1), fill_arg(a, 2))); });
    add(r, "VAL", [](Args a) { return Value(VAL(s_arg(a, 0))); });
    add(r, "AT", [](Args a) { return Value(AT(s_arg(a, 0), s_arg(a, 1))); });
    add(r, "RAT", [](Args a) { return Value(RAT(s_arg(a, 0), s_arg(a, 1))); });
    add(r, "REPLICATE", [](Args a) { return Value(REPLICATE(s_arg(a, 0), l_arg(a, 1))); });
    add(r, "SPACE", [](Args a) { return Value(SPACE(l_arg(a, 0))); });
    add(r, "STRTRAN", [](Args a) { return Value(strtran(a)); });
    add(r, "STUFF", [](Args a) { return Value(STUFF(s_arg(a, 0), l_arg(a, 1), l_arg(a, 2), s_arg(a, 3))); });
    add(r, "CHR", [](Args a) { return Value(CHR(static_cast<int>(l_arg(a, 0)))); });
    add(r, "ASC", [](Args a) { return Value(ASC(s_arg(a, 0))); });
    add(r, "ISDIGIT", [](Args a) { return Value(ISDIGIT(s_arg(a, 0))); });
    add(r, "ISALPHA", [](Args a) { return Value(ISALPHA(s_arg(a, 0))); });
}

void add_number_builtins(Registry& r) {
    add(r, "ROUND", [](Args a) { return Value(ROUND(n_arg(a, 0), static_cast<int>(l_arg(a, 1)))); });
    add(r, "INT", [](Args a) { return Value(INT(n_arg(a, 0))); });
    add(r, "ABS", [](Args a) { return Value(std::fabs(n_arg(a, 0))); });
    add(r, "MAX", [](Args a) { return pick(a, true); });
    add(r, "MIN", [](Args a) { return pick(a, false); });
}

void add_date_builtins(Registry& r) {
    add(r, "DTOS", [](Args a) { return Value(DTOS(d_arg(a, 0))); });
    add(r, "DTOC", [](Args a) { return Value(DTOC(d_arg(a, 0))); });
    add(r, "CTOD", [](Args a) { return Value(CTOD(s_arg(a, 0))); });
    add(r, "STOD", [](Args a) { return Value(STOD(s_arg(a, 0))); });
    add(r, "DATE", [](Args) { return Value(DATE()); });
    add(r, "TIME", [](Args) { return Value(TIME()); });
    add(r, "SECONDS", [](Args) { return Value(SECONDS()); });
    add(r, "YEAR", [](Args a) { return Value(YEAR(d_arg(a, 0))); });
    add(r, "MONTH", [](Args a) { return Value(MONTH(d_arg(a, 0))); });
    add(r, "DAY", [](Args a) { return Value(DAY(d_arg(a, 0))); });
    add(r, "DOW", [](Args a) { return Value(DOW(d_arg(a, 0))); });
}

void add_value_builtins(Registry& r) {
    add(r, "EMPTY", [](Args a) { return Value(EMPTY(arg(a, 0))); });
    add(r, "LEN", [](Args a) { return Value(static_cast<double>(arg(a, 0).len())); });
    add(r, "VALTYPE", [](Args a) { return Value(std::string(1, type_letter(arg(a, 0).type()))); });
}

Registry& registry() {
    static Registry r = [] {
        Registry init;
        add_text_builtins(init);
        add_number_builtins(init);
        add_date_builtins(init);
        add_value_builtins(init);
        return init;
    }();
    return r;
}

}  // namespace

void register_function(std::string_view name, Function fn) { add(registry(), name, std::move(fn)); }

const FunctionEntry* find_function(std::string_view name) {
    auto& r = registry();
    auto it = r.find(upper_ascii(name));
    return it == r.end() ? nullptr : it->second.get();
}

bool has_function(std::string_view name) { return find_function(name) != nullptr; }

Value call_function(std::string_view name, std::span<const Value> args) {
    const FunctionEntry* f = find_function(name);
    if (!f) throw UnregisteredRoutine("routine not registered: " + upper_ascii(name));
    const Function fn = f->fn;   // the routine may register itself again while it runs
    return fn(args);
}

Value call_routine(std::string_view name, std::initializer_list<Value> args) {
    return call_function(name, std::span<const Value>(args.begin(), args.size()));
}

bool call_as_bool(std::string_view name, std::initializer_list<Value> args) {
    const Value v = call_routine(name, args);
    return v.is_logical() ? v.as_bool() : true;
}

}  // namespace qv::rt
