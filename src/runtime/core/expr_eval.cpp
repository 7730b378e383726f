#include <array>
#include <cmath>
#include <unordered_map>
#include "runtime/core/expr_node.hpp"
#include "runtime/core/fields.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {

ExprError::ExprError(const std::string& message, std::string text, std::size_t position)
    : std::runtime_error(message + " at position " + std::to_string(position + 1) + " of \"" + text + "\""),
      message_(message),
      text_(std::move(text)),
      position_(position) {}

namespace expr_detail {

namespace {

class Evaluator {
public:
    explicit Evaluator(const std::string& text) : text_(text) {}

    Value eval(const Node& n) const {
        switch (n.kind) {
        case Kind::Constant: return n.constant;
        case Kind::Name: return name(n);
        case Kind::MemVar: return variables().get(n.handle);
        case Kind::AliasField: case Kind::SelField: return field(n);
        case Kind::Call: return call(n);
        case Kind::Iif: return eval(*n.kids[eval(*n.kids[0]).as_bool() ? 1 : 2]);
        case Kind::And: return Value(eval(*n.kids[0]).as_bool() && eval(*n.kids[1]).as_bool());
        case Kind::Or: return Value(eval(*n.kids[0]).as_bool() || eval(*n.kids[1]).as_bool());
        case Kind::Not: return Value(!eval(*n.kids[0]).as_bool());
        case Kind::Negate: return Value(-eval(*n.kids[0]).as_number());
        case Kind::Binary: return binary(n.bin, eval(*n.kids[0]), eval(*n.kids[1]));
        case Kind::Index: return element(n);
        case Kind::ArrayLit: return array(n);
        case Kind::List: return list(n);
        case Kind::Assign: return assign(n);
        }
        return {};
    }

private:
    [[noreturn]] void fail(const std::string& msg, const Node& n) const { throw ExprError(msg, text_, n.pos); }

    // Position of the node's field in `area`, through the node's cache.
    static int field_index(FieldResolver& r, const Node& n, int area) {
        const std::uint64_t gen = r.generation(area);
        if (n.cache.area != area || n.cache.generation != gen) {
            n.cache.index = r.field_index(area, n.name);
            n.cache.area = area;
            n.cache.generation = gen;
        }
        return n.cache.index;
    }

    // The field a bare name stands for, if the selected area has it.
    static bool selected_field(const Node& n, FieldResolver*& r, int& area, int& index) {
        r = field_resolver();
        if (!r) return false;
        area = r->selected_area();
        if (area <= 0) return false;
        index = field_index(*r, n, area);
        return index >= 0;
    }

    // The field an aliased name (or FIELD->) stands for; UndefinedName if none.
    static void aliased_field(const Node& n, FieldResolver*& r, int& area, int& index) {
        r = field_resolver();
        area = 0;
        if (r) area = n.kind == Kind::SelField ? r->selected_area() : r->area_of_alias(n.alias);
        index = (r && area > 0) ? field_index(*r, n, area) : -1;
        if (index < 0) throw UndefinedName((n.kind == Kind::SelField ? "FIELD" : n.alias) + "->" + n.name);
    }

    Value name(const Node& n) const {
        FieldResolver* r;
        int area, index;
        if (selected_field(n, r, area, index)) return r->get_field(area, index);
        return variables().get(n.handle);
    }

    Value field(const Node& n) const {
        FieldResolver* r;
        int area, index;
        aliased_field(n, r, area, index);
        return r->get_field(area, index);
    }

    Value call(const Node& n) const {
        constexpr std::size_t kInline = 6;
        const std::size_t count = n.kids.size();
        if (count <= kInline) {
            std::array<Value, kInline> args;
            for (std::size_t i = 0; i < count; ++i) args[i] = eval(*n.kids[i]);
            return n.fn->fn(std::span<const Value>(args.data(), count));
        }
        std::vector<Value> args;
        args.reserve(count);
        for (const auto& k : n.kids) args.push_back(eval(*k));
        return n.fn->fn(args);
    }

    static Value binary(BinOp op, const Value& a, const Value& b) {
        switch (op) {
        case BinOp::Add: return add(a, b);
        case BinOp::Sub: return subtract(a, b);
        case BinOp::Mul: return multiply(a, b);
        case BinOp::Div: return divide(a, b);
        case BinOp::Mod: return modulo(a, b);
        case BinOp::Pow: return Value(std::pow(a.as_number(), b.as_number()));
        case BinOp::Eq: return Value(equals(a, b, false));
        case BinOp::ExactEq: return Value(equals(a, b, true));
        case BinOp::Ne: return Value(!equals(a, b, false));
        case BinOp::Lt: return Value(compare(a, b) < 0);
        case BinOp::Le: return Value(compare(a, b) <= 0);
        case BinOp::Gt: return Value(compare(a, b) > 0);
        case BinOp::Ge: return Value(compare(a, b) >= 0);
        case BinOp::Contains: return Value(a.is_string() && b.is_string() && AT(a.as_string(), b.as_string()) > 0);
        }
        return {};
    }

    // The array and 1-based position an Index node designates.
    std::pair<Value, long> subscript(const Node& n) const {
        Value base = eval(*n.kids[0]);
        if (!base.is_array() || !base.as_array()) fail("subscript of a value that is not an array", n);
        Value pos = eval(*n.kids[1]);
        if (!pos.is_number()) fail("array subscript is not a number", n);
        return {std::move(base), static_cast<long>(pos.as_number())};
    }

    Value element(const Node& n) const {
        auto [base, pos] = subscript(n);
        if (pos < 1 || static_cast<std::size_t>(pos) > base.len()) fail("array subscript out of bounds", n);
        return base.at(static_cast<std::size_t>(pos));
    }

    Value array(const Node& n) const {
        Value a = Value::array(n.kids.size());
        for (std::size_t i = 0; i < n.kids.size(); ++i) (*a.as_array())[i] = eval(*n.kids[i]);
        return a;
    }

    Value list(const Node& n) const {
        Value last;
        for (const auto& k : n.kids) last = eval(*k);
        return last;
    }

    Value assign(const Node& n) const {
        const Node& target = *n.kids[0];
        Value v = eval(*n.kids[1]);
        switch (n.assign) {
        case AssignOp::Set: break;
        case AssignOp::Add: v = add(eval(target), v); break;
        case AssignOp::Sub: v = subtract(eval(target), v); break;
        case AssignOp::Mul: v = multiply(eval(target), v); break;
        case AssignOp::Div: v = divide(eval(target), v); break;
        }
        store(target, v);
        return v;
    }

    void store(const Node& t, const Value& v) const {
        FieldResolver* r;
        int area, index;
        switch (t.kind) {
        case Kind::Name:   // text assigns the variable; fields need FIELD-> or an alias
        case Kind::MemVar: variables().set(t.handle, v); return;
        case Kind::AliasField: case Kind::SelField:
            aliased_field(t, r, area, index);
            r->put_field(area, index, v);
            return;
        case Kind::Index: {
            auto [base, pos] = subscript(t);
            if (pos < 1 || static_cast<std::size_t>(pos) > base.len()) fail("array subscript out of bounds", t);
            (*base.as_array())[static_cast<std::size_t>(pos - 1)] = v;
            return;
        }
        default: fail("cannot assign to this", t);
        }
    }

    const std::string& text_;
};

}  // namespace

Value evaluate(const Node& n, const std::string& text) { return Evaluator(text).eval(n); }

}  // namespace expr_detail

// ---- Expr ----

Expr::Expr() : text_(std::make_shared<const std::string>()) {}

Expr Expr::compile(std::string_view text) {
    Expr e;
    e.text_ = std::make_shared<const std::string>(text);
    e.root_ = expr_detail::parse(*e.text_);
    return e;
}

Value Expr::eval() const {
    if (!root_) return {};
    return expr_detail::evaluate(*root_, *text_);
}

Value eval_text(std::string_view text) {
    // Validations and the like come back with the same few texts; keep them
    // compiled. The bound keeps texts built on the fly from piling up.
    static std::unordered_map<std::string, Expr> cache;
    constexpr std::size_t kMaxCached = 4096;
    std::string key(text);
    auto it = cache.find(key);
    if (it == cache.end()) {
        Expr e = Expr::compile(text);
        if (cache.size() >= kMaxCached) cache.clear();
        it = cache.emplace(std::move(key), std::move(e)).first;
    }
    // A copy: evaluating may compile other texts and clear the cache.
    Expr e = it->second;
    return e.eval();
}

bool is_valid_expr(std::string_view text) {
    try {
        Expr::compile(text);
        return true;
    } catch (const ExprError&) {
        return false;
    }
}

}  // namespace qv::rt
