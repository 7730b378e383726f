#include "common/documents.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/taxpayer_name.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

using rt::operator""_cp;

namespace {

int digit_at(std::string_view text, std::size_t pos0) {
    if (pos0 >= text.size()) return 0;
    const char c = text[pos0];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// A remainder of 0 or 1 gives 0, any other r gives 11 - r.
int mod11_digit(int sum) {
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

std::string two_digits(int a, int b) { return std::string{static_cast<char>('0' + a), static_cast<char>('0' + b)}; }

std::size_t trimmed_length(std::string_view text, long count) {
    return rt::ALLTRIM(rt::SUBSTR(text, 1, count)).size();
}

const Global kPaymentCode{"I6_3"};

bool in(int code, std::initializer_list<int> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

std::string cpf_check_digits(std::string_view text) {
    int s1 = 0, s2 = 0;
    for (int i = 1; i <= 9; ++i) {
        s1 += digit_at(text, static_cast<std::size_t>(i - 1)) * i;
        s2 += digit_at(text, static_cast<std::size_t>(10 - i - 1)) * i;
    }
    int first = s1 % 11;
    if (first == 10) {
        first = 0;
        s2 += 9;
    }
    int second = s2 % 11;
    if (second == 10) second = 0;
    return two_digits(first, second);
}

std::string cnpj_check_digits(std::string_view text) {
    static constexpr std::array<int, 12> w1{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static constexpr std::array<int, 12> w2{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3};
    int s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        s1 += digit_at(text, i) * w1[i];
        s2 += digit_at(text, i) * w2[i];
    }
    const int first = mod11_digit(s1);
    s2 += 2 * first;
    return two_digits(first, mod11_digit(s2));
}

int nit_check_digit(std::string_view digits) {
    static constexpr std::array<int, 10> w{3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    int s = 0;
    for (std::size_t i = 0; i < w.size(); ++i) s += digit_at(digits, i) * w[i];
    return mod11_digit(s);
}

bool VAL_CPF(std::string_view text, bool required, int ask_name) {
    if (rt::EMPTY_TEXT(text)) {
        if (!required) return true;
        // Without a CPF the taxpayer may be found by name instead.
        if (ask_name == 1) return VER_NOME();
        return false;
    }
    if (trimmed_length(text, 9) < 9) {
        AVISOSN("ATENÇÃO! CPF está incompleto."_cp, 0);
        return false;
    }
    const std::string digits = cpf_check_digits(text);
    if (digits == rt::SUBSTR(text, 10, 2)) return true;
    AVISOSN(std::vector<std::string>{"ATENÇÃO! CPF está incorreto. "_cp, "O dígito correto deve ser:"_cp + digits}, 0);
    return false;
}

bool VAL_CGC(std::string_view text, bool required) {
    if (rt::EMPTY_TEXT(text)) return !required;
    if (trimmed_length(text, 12) < 12) {
        AVISOSN("ATENÇÃO! CNPJ está incompleto. "_cp, 0);
        return false;
    }
    const std::string digits = cnpj_check_digits(text);
    if (digits == rt::SUBSTR(text, 13, 2)) return true;
    AVISOSN(std::vector<std::string>{"ATENÇÃO! CNPJ está incorreto. "_cp, "O dígito correto deve ser: "_cp + digits}, 0);
    return false;
}

bool VAL_NIT(std::string_view text) {
    if (rt::EMPTY_TEXT(text)) return true;
    const std::string digits = TIRA_PONTO(text);
    if (digits.size() != 11) {
        AVISOSN("ATENÇÃO! o NIT do empregado está errado "_cp, 0);
        return false;
    }
    if (nit_check_digit(digits) == digit_at(digits, 10)) return true;
    AVISOSN(std::vector<std::string>{"ATENÇÃO! NIT está incorreto. "_cp, "Para digitar o CPF use seta direita",
                                     "até a última coluna. "_cp},
            0);
    return false;
}

bool CPFCGC(std::string_view text, bool required) {
    if (rt::EMPTY_TEXT(text)) return !required;
    const auto at = [&](long pos) { return rt::SUBSTR(text, pos, 1); };
    if (at(10) == ".") return true;   // a NIT: its punctuation is not a CPF's nor a CNPJ's
    const std::string bare = TIRA_PONTO(rt::ALLTRIM(text));
    const bool cpf = at(4) == "." || at(4) == " ";
    // The check digits are read from the first 11 or 14 digits: digits
    // beyond them (left over from a longer number typed over) would be
    // stored with a document that passed.
    const std::size_t most = cpf ? 11 : 14;
    if ((cpf || at(3) == ".") && bare.size() <= most)
        return cpf ? VAL_CPF(bare + "  ", required) : VAL_CGC(bare + "  ", required);
    AVISOSN(std::vector<std::string>{"ATENÇÃO!! Digite o CPF/CNPJ com nro. correto"_cp,
                                     "de dígitos CPF=11 e CNPJ=14 ou coloque os   "_cp,
                                     "sinais separadores no lugar correto.Exemplo:",
                                     "CPF=nnn.nnn.nnn-nn CNPJ=nn.nnn.nnn/nnnn-nn "},
            2);
    return false;
}

std::string MODULO_11(std::string_view digits) {
    if (digits.empty()) return {};
    const std::size_t n = digits.size();
    int sum = 0;
    for (std::size_t p = 1; p <= n; ++p) sum += digit_at(digits, p - 1) * static_cast<int>(n + 2 - p);
    int result = 11 - sum % 11;
    if (result >= 10) result = 0;
    return std::string(1, static_cast<char>('0' + result));
}

std::string TIRA_PONTO(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

// Inserts each separator at its position (1-based, counted after the
// separators before it), then trims.
std::string punctuate(std::string_view digits, std::initializer_list<std::pair<long, const char*>> marks) {
    std::string s(digits);
    for (const auto& [pos, mark] : marks) s = rt::STUFF(s, pos, 0, mark);
    return rt::ALLTRIM(s);
}

std::string cnpj_layout(std::string_view digits) {
    return punctuate(digits, {{3, "."}, {7, "."}, {11, "/"}, {16, "-"}});
}

std::string cpf_layout(std::string_view digits) {
    return punctuate(digits, {{4, "."}, {8, "."}, {12, "-"}}) + "    ";
}

std::string nit_layout(std::string_view digits) {
    return punctuate(digits, {{4, "."}, {10, "."}, {13, "-"}}) + "    ";
}

std::string CONTAPONTO(std::string_view text) {
    const std::string bare = rt::ALLTRIM(text);
    if (bare.size() == 14) return cnpj_layout(bare);
    if (bare.size() == 11) return cpf_layout(bare);
    return std::string(text);
}

std::string POEPONTO(std::string_view text, int mode) {
    const std::string p3 = rt::SUBSTR(text, 3, 1), p4 = rt::SUBSTR(text, 4, 1);
    if (p3 == "." || p4 == "." || p4 == " ") return std::string(text);
    if (mode != 1) return CONTAPONTO(text);
    return payee_layout(text, static_cast<int>(kPaymentCode.number()));
}

std::string payee_layout(std::string_view text, int code) {
    if (in(code, {1, 21, 26, 36, 38, 40, 41, 42, 43, 71, 98})) return cnpj_layout(text);
    if (in(code, {9, 10, 11, 12, 13, 14, 15, 30, 31, 33, 34, 66, 70, 76, 80, 81, 91, 93, 94})) return cpf_layout(text);
    if (code == 50) return nit_layout(text);
    return CONTAPONTO(text);
}

}  // namespace qv::common
