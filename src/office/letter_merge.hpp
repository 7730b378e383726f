#pragma once
// Mail merge: the placeholders of a letter replaced by a taxpayer's register
// data, and the printing of a letter on the open print output.
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt::table {
class Table;
}

namespace qv::office {

// The 35 placeholders in the order of the editor's field list ("«CPF»", ...,
// CP850).
const std::vector<std::string>& merge_placeholders();
// Every placeholder of the text replaced by its value from the register row
// the table stands on and the billing prices VAL_SEG, VAL_BYTE, VAL_MIN;
// anything else between « and » stays as it is.
std::string merge_letter(std::string_view text, rt::table::Table& reg);

// Merges the letter (file text, header included) with the register row the
// register table stands on and prints it.
void IMPR_MAIL(std::string_view letter);
// Prints a letter (file text, header included) from the current print row.
void IMPR_EDT(std::string_view letter);

}  // namespace qv::office
