#pragma once
namespace qv::printing {

// The taxpayer's reports the print dispatcher calls by name: rural pages,
// cash books, annotations, capital-gains and variable-income statements.
void register_report_routines();

}  // namespace qv::printing
