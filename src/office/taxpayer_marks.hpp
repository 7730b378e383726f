#pragma once
// Marking taxpayers of a register (field IMPRE "S") for an operation on
// several of them: the register's marking grid when it is built, until
// then a plain framed list where Enter marks and unmarks and Esc ends.
namespace qv::office {

// The register open in `area` (its filter applies).
void mark_taxpayers(int area);
// The rows marked "S" (filter applied).
long count_marked(int area);

}  // namespace qv::office
