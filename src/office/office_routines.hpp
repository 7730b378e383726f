#pragma once
// The office and maintenance routines the main menu calls by name.
namespace qv::office {

void register_office_routines();

}  // namespace qv::office
