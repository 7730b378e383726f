#pragma once
// The destination folder's declaration tables, made ready for an import.
namespace qv::converter {

// Creates the missing declaration tables of the data folder (LOCARQ) and
// opens them in the work areas of their codes, the register with its three
// orders, and the occupation and nature look-ups; false when one cannot be
// opened.
bool CRIA_BASE();

}  // namespace qv::converter
