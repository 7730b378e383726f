#pragma once
// What the transfer takes from the declaration file's writer: the file
// itself and the identifier attribute set of the open declaration.
#include <string>

namespace qv::transfer {

// The time stamp of one generation, "dd/mm/yyyy hh:mm:ss".
std::string generation_stamp();
// The namespace URI of the tax program's files.
std::string tax_program_namespace();
// Writes the open declaration's XML file; false when it was not written.
bool write_declaration(const std::string& path, const std::string& stamp);
// "<item" + the identifier attribute set of the open declaration.
std::string identifier_item(const std::string& stamp);

}  // namespace qv::transfer
