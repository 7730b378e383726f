#pragma once
// Brazilian document numbers: check digits of CPF (natural persons, 11
// digits), CNPJ (legal persons, 14 digits) and NIT (social security, 11
// digits), with the Portuguese alerts shown when a number is wrong, and the
// punctuation of bare numbers.
#include <string>
#include <string_view>

namespace qv::common {

// The two check digits of the first nine (CPF) or twelve (CNPJ) characters,
// as two-character text; a character that is not a digit counts as 0.
std::string cpf_check_digits(std::string_view text);
std::string cnpj_check_digits(std::string_view text);
// The check digit of the first ten digits of a NIT.
int nit_check_digit(std::string_view digits);

// CPF "99999999999" (blanks allowed behind). An empty text is valid unless
// required; a required empty CPF with ask_name 1 runs the taxpayer search by
// name (VER_NOME) and is then valid. A wrong number shows an alert with the
// correct digits and answers false.
bool VAL_CPF(std::string_view text, bool required = false, int ask_name = 0);
// CNPJ "99999999999999"; an empty text is valid unless required.
bool VAL_CGC(std::string_view text, bool required = false);
// NIT with or without punctuation; an empty text is valid.
bool VAL_NIT(std::string_view text);
// A typed CPF or CNPJ told apart by its punctuation, then checked.
bool CPFCGC(std::string_view text, bool required = false);

// The modulo-11 check digit of a string of digits (weights 2, 3, ... from
// the right); "" for an empty text.
std::string MODULO_11(std::string_view digits);

// The digits of a text.
std::string TIRA_PONTO(std::string_view text);
// Punctuation of a bare document number; mode 1 chooses the layout by the
// current payment code I6_3, any other mode by the number's length.
std::string POEPONTO(std::string_view text, int mode = 0);
// A payee's bare number laid out by the payment code: CNPJ, CPF or, for a
// domestic employee (50), NIT; any other code by the number's length.
std::string payee_layout(std::string_view text, int code);
// 14 characters: CNPJ layout; 11: CPF layout (4 blanks behind); else as is.
std::string CONTAPONTO(std::string_view text);

// The layouts themselves, on a bare number.
std::string cnpj_layout(std::string_view digits);   // nn.nnn.nnn/nnnn-nn
std::string cpf_layout(std::string_view digits);    // nnn.nnn.nnn-nn + 4 blanks
std::string nit_layout(std::string_view digits);    // nnn.nnnnn.nn-n + 4 blanks

}  // namespace qv::common
