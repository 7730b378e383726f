#pragma once
// Payroll income statements (table FOLHAPG) posted into a taxpayer's
// declaration tables.
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace qv::converter {

inline constexpr int kPayroll = 63;

// Posts the current FOLHAPG row into the current folder's tables (open in
// the areas of their codes): the payer's income row always; the
// declaration record's lines added to ("A"), replaced ("S") or left ("N").
void GRAVA_VALOR(std::string_view mode);

// The declaration-record lines one transfer has replaced already, by
// taxpayer: with "S" the first statement of a taxpayer replaces a line and
// the other payers' statements of the same transfer add to it, so that
// each payer counts once and none wipes another's amounts.
struct PostingRun {
    std::map<std::string, std::set<std::string>> replaced;
};
// GRAVA_VALOR within a transfer of several statements.
void post_statement(std::string_view mode, PostingRun& run);

// A CPF (with or without separators) whose check digits are right.
bool cpf_digits_right(std::string_view cpf);

// The statements' sub-menu (import, edit one, edit all, transfer).
void CONVFOLHA();
// Asks the folder of folha.txt and appends its statements; false when
// given up or nothing could be read.
bool IMPORTA();
// The statement form: a CPF asked, its statement typed or edited, stored
// on "S", left on "A".
void PEGACOM();
// Stores the statement of the variables: over the CPF's row ("N", the
// same payer) or as a new row ("S", another payer).
void GRAVA_DADO(std::string_view other);
// The CPF or CNPJ in the variable of that name checked; a valid one is
// written back with its separators.
bool CPFCNPJ(std::string_view variable);

}  // namespace qv::converter

#include <string>

namespace qv::converter {

// Appends the statements of `<folder>folha.txt` (comma-separated, quoted
// texts, point decimals) to FOLHAPG (open in its area); existing rows stay.
// A missing folder or file is said and nothing is read.
bool import_payroll_file(const std::string& folder);

}  // namespace qv::converter

namespace qv::converter {

// Posts every FOLHAPG statement not marked "N" into the data folder's
// tables, asking once how the declaration record's lines are posted and,
// for a CPF not registered, whether to include it; posted statements
// leave FOLHAPG.
void TRANSFERE();

}  // namespace qv::converter
