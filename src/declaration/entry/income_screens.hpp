#pragma once
// Pages 1 and 2 of the declaration: the income received from legal persons
// in four lists, and the income from natural persons and from abroad with
// the monthly carnê-leão sheet of the taxpayer or of one dependant.
#include <cstdint>
#include <string>

namespace qv::declaration {

// RENDPJ: page 1, its sub-pages 11-14 stepped by Tab and Shift+Tab.
void RENDPJ();
// RENDPF: page 2, the sheet of the taxpayer (sub-page 21) or of a
// dependant (22).
void RENDPF();

// The record of the person's monthly sheet in the work copy of the monthly
// table (blank CPF: the taxpayer), appended when there is none; 0 when it
// could not be appended.
std::uint32_t person_sheet_row(const std::string& dependant_cpf);
// The sheet's 13 x 7 amounts from that record into REC_MENSAL (zero as
// blank), and back into the record (under its lock) and the I2_<x><mm>
// variables.
void sheet_from_row(std::uint32_t record);
void sheet_to_row(std::uint32_t record);

}  // namespace qv::declaration
