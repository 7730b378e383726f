#include "runtime/core/expr_lexer.hpp"

#include <array>
#include <charconv>
#include "runtime/core/expr.hpp"

namespace qv::rt::expr_detail {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool is_alnum(char c) { return is_alpha(c) || is_digit(c); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Operators, longest first so that "==" wins over "=".
constexpr std::array<std::string_view, 23> kOperators = {
    "**", "==", "!=", "<>", "<=", ">=", ":=", "+=", "-=", "*=", "/=",
    "+", "-", "*", "/", "%", "^", "=", "#", "<", ">", "$", "!",
};

class Lexer {
public:
    explicit Lexer(const std::string& text) : text_(text) {}

    std::vector<Token> run() {
        while (true) {
            while (i_ < text_.size() && is_blank(text_[i_])) ++i_;
            if (i_ >= text_.size()) break;
            out_.push_back(next());
        }
        out_.push_back(Token{Tok::End, {}, 0.0, text_.size()});
        return std::move(out_);
    }

private:
    [[noreturn]] void fail(const std::string& msg, std::size_t pos) const { throw ExprError(msg, text_, pos); }

    // '[' opens a subscript after something that gives a value, a string
    // otherwise.
    bool bracket_is_subscript() const {
        if (out_.empty()) return false;
        Tok k = out_.back().kind;
        return k == Tok::Ident || k == Tok::RParen || k == Tok::RBracket || k == Tok::RBrace;
    }

    Token next() {
        const std::size_t start = i_;
        const char c = text_[i_];
        if (is_digit(c) || (c == '.' && i_ + 1 < text_.size() && is_digit(text_[i_ + 1]))) return number();
        if (is_alpha(c)) return ident();
        if (c == '.') return dot_word();
        if (c == '"' || c == '\'') return string(c);
        if (c == '[' && !bracket_is_subscript()) return string(']');
        if (text_.compare(i_, 2, "->") == 0) {
            i_ += 2;
            return Token{Tok::Arrow, "->", 0.0, start};
        }
        switch (c) {
        case '(': ++i_; return Token{Tok::LParen, "(", 0.0, start};
        case ')': ++i_; return Token{Tok::RParen, ")", 0.0, start};
        case '[': ++i_; return Token{Tok::LBracket, "[", 0.0, start};
        case ']': ++i_; return Token{Tok::RBracket, "]", 0.0, start};
        case '{': ++i_; return Token{Tok::LBrace, "{", 0.0, start};
        case '}': ++i_; return Token{Tok::RBrace, "}", 0.0, start};
        case ',': ++i_; return Token{Tok::Comma, ",", 0.0, start};
        default: break;
        }
        for (std::string_view op : kOperators) {
            if (text_.compare(i_, op.size(), op) == 0) {
                i_ += op.size();
                if (op == "!") return Token{Tok::Not, "!", 0.0, start};
                return Token{Tok::Op, std::string(op), 0.0, start};
            }
        }
        fail(std::string("unexpected character '") + c + "'", start);
    }

    Token number() {
        const std::size_t start = i_;
        while (i_ < text_.size() && is_digit(text_[i_])) ++i_;
        // A point belongs to the number only when a digit follows: "1.AND."
        // is not a number with a fraction.
        if (i_ + 1 < text_.size() && text_[i_] == '.' && is_digit(text_[i_ + 1])) {
            ++i_;
            while (i_ < text_.size() && is_digit(text_[i_])) ++i_;
        }
        Token t{Tok::Number, text_.substr(start, i_ - start), 0.0, start};
        std::from_chars(text_.data() + start, text_.data() + i_, t.number);
        return t;
    }

    Token ident() {
        const std::size_t start = i_;
        std::string word;
        while (i_ < text_.size() && is_alnum(text_[i_])) word += upper(text_[i_++]);
        return Token{Tok::Ident, std::move(word), 0.0, start};
    }

    // .AND. .OR. .NOT. .T. .F. .Y. .N.
    Token dot_word() {
        const std::size_t start = i_++;
        std::string word;
        while (i_ < text_.size() && is_alpha(text_[i_])) word += upper(text_[i_++]);
        if (i_ >= text_.size() || text_[i_] != '.') fail("'.' without a matching operator", start);
        ++i_;
        if (word == "AND") return Token{Tok::And, ".AND.", 0.0, start};
        if (word == "OR") return Token{Tok::Or, ".OR.", 0.0, start};
        if (word == "NOT") return Token{Tok::Not, ".NOT.", 0.0, start};
        if (word == "T" || word == "Y") return Token{Tok::True, ".T.", 0.0, start};
        if (word == "F" || word == "N") return Token{Tok::False, ".F.", 0.0, start};
        fail("unknown operator ." + word + ".", start);
    }

    Token string(char close) {
        const std::size_t start = i_++;
        auto end = text_.find(close, i_);
        if (end == std::string::npos) fail("unterminated string", start);
        Token t{Tok::String, text_.substr(i_, end - i_), 0.0, start};
        i_ = end + 1;
        return t;
    }

    const std::string& text_;
    std::size_t i_ = 0;
    std::vector<Token> out_;
};

}  // namespace

std::vector<Token> tokenize(const std::string& text) { return Lexer(text).run(); }

}  // namespace qv::rt::expr_detail
