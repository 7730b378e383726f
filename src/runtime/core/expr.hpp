#pragma once
// Expressions kept or built as text: index keys ("CPF+DTOS(DT_LC)"), filters
// ("I1_1 == M->I1_1 .AND. I1_11 == M->I1_11"), grid columns
// ("substr(I1_2,1,21)"), validations that may assign ("X := 0, .T.").
//
// Compile once, evaluate many times. Compiling interns the names in the
// variable store and binds the function calls; evaluating caches field
// positions per (area, generation).
//
// Names: reading a bare name gives the field of the selected area when its
// table has one, the variable otherwise. Assigning a bare name in a text
// always sets the variable (creating it in the innermost frame when it exists
// nowhere), so "NOME := NOME" copies the field into the variable of the same
// name; a text writes a field only through "FIELD->NOME" or "ALIAS->NOME".
// (Compiled routines that fill fields by bare name use VarStore::assign.)
//
// The language: numbers, "text" 'text' [text], .T. .F. .Y. .N., NIL, array
// literals {a, b}; names, ALIAS->NAME, M->NAME, FIELD->NAME; calls f(a, b);
// subscripts a[1], a[1,2], a[1][2]; unary - + ! .NOT.; ** ^; * / %; + -;
// = == != <> # < > <= >= $; .NOT.; .AND.; .OR. (both short-circuit);
// := += -= *= /= (right to left); a, b and (a, b) evaluate both and give b.
// IIF(c, a, b) evaluates only the chosen branch.
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::rt {

// A syntax error, an unknown function (both at compile time), or a run-time
// error (subscript of a non-array, assignment to something that is not a
// variable or field). position() is the 0-based offset in text().
class ExprError : public std::runtime_error {
public:
    ExprError(const std::string& message, std::string text, std::size_t position);
    const std::string& text() const { return text_; }
    std::size_t position() const { return position_; }
    const std::string& message() const { return message_; }

private:
    std::string message_;
    std::string text_;
    std::size_t position_;
};

namespace expr_detail { struct Node; }

class Expr {
public:
    Expr();   // the empty expression; eval() gives NIL
    static Expr compile(std::string_view text);   // throws ExprError

    // Evaluates; UndefinedName for a name that is neither variable nor field,
    // ExprError for run-time misuse, and whatever a called routine throws.
    // Not for concurrent use (field positions are cached inside).
    Value eval() const;

    const std::string& text() const { return *text_; }
    bool empty() const { return root_ == nullptr; }

private:
    std::shared_ptr<const std::string> text_;
    std::shared_ptr<expr_detail::Node> root_;
};

// Compiles (keeping the compiled form for the next call with the same text)
// and evaluates: for texts given again and again, such as validations.
Value eval_text(std::string_view text);

// True when the text compiles.
bool is_valid_expr(std::string_view text);

}  // namespace qv::rt
