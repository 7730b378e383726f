#pragma once
// What the transfer takes from the declaration file's writer: the file
// itself and the identifier attribute set of the open declaration, both of
// one moment of generation.
#include <string>

#include "runtime/core/date.hpp"

namespace qv::transfer {

// The moment of one generation: every time stamp of it is this one.
struct Moment {
    rt::Date day;
    std::string time;   // "hh:mm:ss"
    std::string stamp() const;   // "dd/mm/yyyy hh:mm:ss"
};
Moment generation_moment();

// The namespace URI of the tax program's files.
std::string tax_program_namespace();
// Writes the open declaration's XML file; false when it was not written.
bool write_declaration(const std::string& path, const Moment& moment);
// "<item" + the identifier attribute set of the open declaration.
std::string identifier_item(const Moment& moment);

}  // namespace qv::transfer
