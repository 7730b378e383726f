#pragma once
// The office's reports the sheet dispatcher calls by name.
namespace qv::printing {

void register_office_report_routines();

}  // namespace qv::printing
