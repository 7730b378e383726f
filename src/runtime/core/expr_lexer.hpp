#pragma once
// Splits an expression's text into tokens. Internal to the expression engine.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt::expr_detail {

enum class Tok {
    End, Number, String, Ident, Op,
    LParen, RParen, LBracket, RBracket, LBrace, RBrace, Comma, Arrow,
    And, Or, Not, True, False,
};

struct Token {
    Tok kind = Tok::End;
    std::string text;     // Ident upper case; String contents; Op spelling
    double number = 0.0;  // Number
    std::size_t pos = 0;
};

// ExprError on an unterminated string or a character that starts no token.
std::vector<Token> tokenize(const std::string& text);

}  // namespace qv::rt::expr_detail
