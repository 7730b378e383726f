#pragma once
// How a slip is laid out: the plain-paper slip drawn with "+", "-" and "|",
// and the places of its values on pre-printed forms, which the office may
// adjust to its own forms.
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qv::darf {

// A slip's values as printed (already under their pictures).
struct SlipValues {
    std::string name, phone;
    std::array<std::string, 5> lines;
    std::array<std::string, 2> notice;   // the warnings of the free line
    std::string period, cpf, code, reference, due, principal, fine, interest, total;
    std::string valid_until;
};

inline constexpr int kPlainWidth = 78;

// The plain-paper slip, one string a line, each kPlainWidth wide.
std::vector<std::string> plain_slip(const SlipValues& v);

struct Place {
    int row = 0;
    int col = 0;
};
// Where each value goes on a form, by the value's name ("NOME", "FONE",
// "LINHA1".."LINHA5", "AVISO1", "AVISO2", "PERIODO", "CPF", "CODIGO",
// "REFERENCIA", "VENCIMENTO", "PRINCIPAL", "MULTA", "JUROS", "TOTAL",
// "VALIDADE"), and "ALTURA": the lines a slip takes (row only).
using FormPlaces = std::map<std::string, Place, std::less<>>;

// The places of the plain-paper slip: the default of both forms.
FormPlaces default_places();
// The default places changed by the lines of an adjustment text, each
// "NAME row col"; unknown names and malformed lines are ignored.
FormPlaces adjusted_places(std::string_view text);
// The name of the adjustment file of paper mode 2 or 3 in the program folder.
std::string places_file_name(int mode);

struct PlacedText {
    Place at;
    std::string text;
};
// The values at their places in the order the printer meets them.
std::vector<PlacedText> placed_values(const SlipValues& v, const FormPlaces& places);

}  // namespace qv::darf
