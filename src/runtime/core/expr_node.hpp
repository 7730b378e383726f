#pragma once
// The compiled form of an expression: a tree the evaluator walks. Internal to
// the expression engine (expr_*.cpp).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "runtime/core/expr.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::rt::expr_detail {

enum class Kind {
    Constant,    // constant
    Name,        // bare name: field of the selected area, else variable
    MemVar,      // M->NAME
    AliasField,  // ALIAS->NAME
    SelField,    // FIELD->NAME
    Call,        // fn(kids...)
    Iif,         // kids: condition, then, else
    And, Or,     // kids: left, right
    Not,         // kids: operand
    Negate,      // kids: operand
    Binary,      // kids: left, right; op in `bin`
    Index,       // kids: array, subscript
    ArrayLit,    // {kids...}
    List,        // (kids...), gives the last
    Assign,      // kids: target, value; op in `assign`
};

enum class BinOp { Add, Sub, Mul, Div, Mod, Pow, Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Contains };
enum class AssignOp { Set, Add, Sub, Mul, Div };

// Where a field was found the last time: valid while the area and its
// generation stay the same.
struct FieldCache {
    int area = -1;
    std::uint64_t generation = 0;
    int index = -1;
};

struct Node {
    Kind kind = Kind::Constant;
    std::size_t pos = 0;   // offset in the text, for error messages
    Value constant;
    std::vector<std::unique_ptr<Node>> kids;
    VarHandle handle = 0;  // Name, MemVar
    std::string name;      // Name, MemVar, AliasField, SelField, Call
    std::string alias;     // AliasField
    const FunctionEntry* fn = nullptr;
    BinOp bin = BinOp::Add;
    AssignOp assign = AssignOp::Set;
    mutable FieldCache cache;
};

// Parses the whole text; ExprError on a syntax error or unknown function.
std::unique_ptr<Node> parse(const std::string& text);

// Evaluates a node of the expression `text`.
Value evaluate(const Node& n, const std::string& text);

}  // namespace qv::rt::expr_detail
