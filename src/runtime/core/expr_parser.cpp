// Recursive descent over the tokens, one function per precedence level, from
// the loosest: assignment, .OR., .AND., .NOT., comparisons, + -, * / %,
// ** ^, unary signs, subscripts, primaries.
#include <memory>
#include "runtime/core/expr_lexer.hpp"
#include "runtime/core/expr_node.hpp"

namespace qv::rt::expr_detail {

namespace {

using NodePtr = std::unique_ptr<Node>;

NodePtr make(Kind kind, std::size_t pos) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    n->pos = pos;
    return n;
}

NodePtr make(Kind kind, std::size_t pos, NodePtr a, NodePtr b = nullptr) {
    auto n = make(kind, pos);
    n->kids.push_back(std::move(a));
    if (b) n->kids.push_back(std::move(b));
    return n;
}

bool is_target(const Node& n) {
    switch (n.kind) {
    case Kind::Name: case Kind::MemVar: case Kind::AliasField: case Kind::SelField: case Kind::Index: return true;
    default: return false;
    }
}

class Parser {
public:
    Parser(const std::string& text) : text_(text), toks_(tokenize(text)) {}

    NodePtr run() {
        if (peek().kind == Tok::End) fail("empty expression", 0);
        NodePtr n = expression();
        if (peek().kind == Tok::Comma) n = rest_of_list(std::move(n));
        if (peek().kind != Tok::End) fail("unexpected '" + peek().text + "'", peek().pos);
        return n;
    }

private:
    [[noreturn]] void fail(const std::string& msg, std::size_t pos) const { throw ExprError(msg, text_, pos); }

    const Token& peek(std::size_t ahead = 0) const {
        std::size_t k = i_ + ahead;
        return k < toks_.size() ? toks_[k] : toks_.back();
    }
    const Token& take() { return toks_[i_ < toks_.size() - 1 ? i_++ : i_]; }
    bool at_op(std::string_view op) const { return peek().kind == Tok::Op && peek().text == op; }
    void expect(Tok kind, std::string_view what) {
        if (peek().kind != kind) {
            const Token& t = peek();
            fail("expected " + std::string(what) + (t.kind == Tok::End ? " at the end" : " before '" + t.text + "'"),
                 t.pos);
        }
        take();
    }

    NodePtr expression() { return assignment(); }

    NodePtr assignment() {
        NodePtr left = or_expr();
        static constexpr std::pair<std::string_view, AssignOp> kOps[] = {
            {":=", AssignOp::Set}, {"+=", AssignOp::Add}, {"-=", AssignOp::Sub},
            {"*=", AssignOp::Mul}, {"/=", AssignOp::Div},
        };
        for (auto [spelling, op] : kOps) {
            if (!at_op(spelling)) continue;
            std::size_t pos = take().pos;
            if (!is_target(*left)) fail("cannot assign to this", pos);
            NodePtr n = make(Kind::Assign, pos, std::move(left), assignment());
            n->assign = op;
            return n;
        }
        return left;
    }

    NodePtr or_expr() {
        NodePtr left = and_expr();
        while (peek().kind == Tok::Or) {
            std::size_t pos = take().pos;
            left = make(Kind::Or, pos, std::move(left), and_expr());
        }
        return left;
    }

    NodePtr and_expr() {
        NodePtr left = not_expr();
        while (peek().kind == Tok::And) {
            std::size_t pos = take().pos;
            left = make(Kind::And, pos, std::move(left), not_expr());
        }
        return left;
    }

    // .NOT. takes a whole comparison: "!A == B" is "!(A == B)".
    NodePtr not_expr() {
        if (peek().kind == Tok::Not) {
            std::size_t pos = take().pos;
            return make(Kind::Not, pos, not_expr());
        }
        return comparison();
    }

    NodePtr comparison() {
        static constexpr std::pair<std::string_view, BinOp> kOps[] = {
            {"=", BinOp::Eq}, {"==", BinOp::ExactEq}, {"!=", BinOp::Ne}, {"<>", BinOp::Ne},
            {"#", BinOp::Ne}, {"<", BinOp::Lt}, {"<=", BinOp::Le}, {">", BinOp::Gt},
            {">=", BinOp::Ge}, {"$", BinOp::Contains},
        };
        return binary_level(kOps, &Parser::additive);
    }

    NodePtr additive() {
        static constexpr std::pair<std::string_view, BinOp> kOps[] = {{"+", BinOp::Add}, {"-", BinOp::Sub}};
        return binary_level(kOps, &Parser::multiplicative);
    }

    NodePtr multiplicative() {
        static constexpr std::pair<std::string_view, BinOp> kOps[] = {
            {"*", BinOp::Mul}, {"/", BinOp::Div}, {"%", BinOp::Mod}};
        return binary_level(kOps, &Parser::power);
    }

    NodePtr power() {
        static constexpr std::pair<std::string_view, BinOp> kOps[] = {{"**", BinOp::Pow}, {"^", BinOp::Pow}};
        return binary_level(kOps, &Parser::unary);
    }

    // One left-associative level: operand { op operand }.
    template <std::size_t N>
    NodePtr binary_level(const std::pair<std::string_view, BinOp> (&ops)[N], NodePtr (Parser::*operand)()) {
        NodePtr left = (this->*operand)();
        while (true) {
            const std::pair<std::string_view, BinOp>* hit = nullptr;
            for (const auto& op : ops)
                if (at_op(op.first)) hit = &op;
            if (!hit) return left;
            std::size_t pos = take().pos;
            NodePtr n = make(Kind::Binary, pos, std::move(left), (this->*operand)());
            n->bin = hit->second;
            left = std::move(n);
        }
    }

    NodePtr unary() {
        if (at_op("-")) {
            std::size_t pos = take().pos;
            return make(Kind::Negate, pos, unary());
        }
        if (at_op("+")) {
            take();
            return unary();
        }
        // A negation after an operator ("A == !B") binds to its operand.
        if (peek().kind == Tok::Not) {
            std::size_t pos = take().pos;
            return make(Kind::Not, pos, unary());
        }
        return postfix();
    }

    // a[1], a[1,2], a[1][2], f()[1]
    NodePtr postfix() {
        NodePtr n = primary();
        while (peek().kind == Tok::LBracket) {
            take();
            do {
                std::size_t pos = peek().pos;
                n = make(Kind::Index, pos, std::move(n), expression());
            } while (peek().kind == Tok::Comma && (take(), true));
            expect(Tok::RBracket, "']'");
        }
        return n;
    }

    NodePtr constant(const Token& t, Value v) {
        NodePtr n = make(Kind::Constant, t.pos);
        n->constant = std::move(v);
        return n;
    }

    NodePtr primary() {
        const Token& t = peek();
        switch (t.kind) {
        case Tok::Number:
            take();
            if (peek().kind == Tok::Arrow) return aliased(t);   // 2->CPF: area by number
            return constant(t, Value(t.number));
        case Tok::String: take(); return constant(t, Value(t.text));
        case Tok::True: take(); return constant(t, Value(true));
        case Tok::False: take(); return constant(t, Value(false));
        case Tok::LParen: return parenthesized();
        case Tok::LBrace: return array_literal();
        case Tok::Ident: return named();
        case Tok::End: fail("expression ends too soon", t.pos);
        default: fail("unexpected '" + t.text + "'", t.pos);
        }
    }

    // (a) or the list (a, b, c), which gives c.
    NodePtr parenthesized() {
        std::size_t pos = take().pos;
        NodePtr first = expression();
        if (peek().kind != Tok::Comma) {
            expect(Tok::RParen, "')'");
            return first;
        }
        NodePtr list = rest_of_list(std::move(first));
        list->pos = pos;
        expect(Tok::RParen, "')'");
        return list;
    }

    // ", b, c" after the first expression of a list.
    NodePtr rest_of_list(NodePtr first) {
        const std::size_t pos = first->pos;
        NodePtr list = make(Kind::List, pos, std::move(first));
        while (peek().kind == Tok::Comma) {
            take();
            list->kids.push_back(expression());
        }
        return list;
    }

    NodePtr array_literal() {
        NodePtr n = make(Kind::ArrayLit, take().pos);
        if (peek().kind == Tok::RBrace) {
            take();
            return n;
        }
        n->kids = arguments(Tok::RBrace);
        expect(Tok::RBrace, "'}'");
        return n;
    }

    // Comma-separated expressions up to `close`; an empty place is NIL.
    std::vector<NodePtr> arguments(Tok close) {
        std::vector<NodePtr> args;
        while (true) {
            if (peek().kind == Tok::Comma || peek().kind == close) {
                args.push_back(constant(peek(), Value()));
            } else {
                args.push_back(expression());
            }
            if (peek().kind != Tok::Comma) return args;
            take();
        }
    }

    NodePtr named() {
        const Token& id = take();
        if (peek().kind == Tok::LParen) return call(id);
        if (peek().kind == Tok::Arrow) return aliased(id);
        if (id.text == "NIL") return constant(id, Value());
        NodePtr n = make(Kind::Name, id.pos);
        n->name = id.text;
        n->handle = variables().intern(id.text);
        return n;
    }

    NodePtr aliased(const Token& alias) {
        take();   // ->
        const Token& field = peek();
        if (field.kind != Tok::Ident) fail("expected a name after '->'", field.pos);
        take();
        QualifiedName q{alias.text, field.text};
        NodePtr n;
        if (q.forces_variable()) {
            n = make(Kind::MemVar, alias.pos);
            n->handle = variables().intern(field.text);
        } else if (q.forces_field()) {
            n = make(Kind::SelField, alias.pos);
        } else {
            n = make(Kind::AliasField, alias.pos);
            n->alias = alias.text;
        }
        n->name = field.text;
        return n;
    }

    NodePtr call(const Token& id) {
        take();   // (
        std::vector<NodePtr> args;
        if (peek().kind != Tok::RParen) args = arguments(Tok::RParen);
        expect(Tok::RParen, "')'");
        if (id.text == "IIF" || id.text == "IF") {
            if (args.size() < 2 || args.size() > 3) fail(id.text + " needs a condition and two values", id.pos);
            if (args.size() == 2) args.push_back(constant(id, Value()));
            NodePtr n = make(Kind::Iif, id.pos);
            n->kids = std::move(args);
            return n;
        }
        const FunctionEntry* fn = find_function(id.text);
        if (!fn) fail("unknown function " + id.text, id.pos);
        NodePtr n = make(Kind::Call, id.pos);
        n->name = id.text;
        n->fn = fn;
        n->kids = std::move(args);
        return n;
    }

    const std::string& text_;
    std::vector<Token> toks_;
    std::size_t i_ = 0;
};

}  // namespace

std::unique_ptr<Node> parse(const std::string& text) { return Parser(text).run(); }

}  // namespace qv::rt::expr_detail
