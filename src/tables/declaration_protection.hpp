#pragma once
// The office protects a finished declaration against change by giving it
// the status chosen for that (STATRAVA of the office settings). Neither the
// declaration's own save nor the office's writers into it (postings, copies
// of parts, imports, payroll) may then change it.
#include <string>
#include <string_view>

#include "runtime/core/value.hpp"
#include "runtime/table/table.hpp"

namespace qv::tables {

// The protecting status; 0 when the office chose none. A program that has
// not read the office settings (the converter) reads them here once.
int protecting_status();
// True when `status` (a declaration's ESTATUS) is the protecting one.
bool status_protects(const rt::Value& status);
// True when the taxpayer's row of the register `reg` has the protecting
// status. The register's order and record are kept.
bool register_protects(rt::table::Table& reg, std::string_view cpf);
// "Declaração com Status de proteção contra alteração...", in CP850.
std::string protection_text();

}  // namespace qv::tables
