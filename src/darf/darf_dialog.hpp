#pragma once
// The slip dialog: which slips to print, for whom, and their dates.
namespace qv::darf {

// True to print the slips set up; false when left (or after the due
// dates were edited).
bool DARF();

}  // namespace qv::darf
