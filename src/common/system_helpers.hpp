#pragma once
// One-line services the rest of the system calls by name: file and folder
// operations with a true/false answer, the printer test, the confirmation
// question and the array helpers.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::common {

bool LF_ISFILE(std::string_view name, bool isfolder = false);
// One folder level; true when it was made.
bool CRIADIR(std::string_view folder);
bool LF_MKDIR(std::string_view folder);
// Makes it the current folder; true on success.
bool ALTDIR(std::string_view folder);
// A descriptor, or -1 (LF_FERROR then tells why). Modes as the runtime's
// FOPEN: 0 read, 1 write, 2 read and write.
int LF_FOPEN(std::string_view name, int mode = 0);
int LF_FCREATE(std::string_view name, int attribute = 0);
bool LF_FERASE(std::string_view name);
int LF_FERROR();
// Port 1-9 and the print queue named in NOMEREDE ready (a file target, or
// no queue named, is always ready).
bool LPT_OK(int port);
// "Confirma os dados ?" with the given button set; the answer is kept in CRESP.
rt::Value OKEI(int set = 2);
// Without a dialog: true unless the last key was Esc.
bool DBGRAVAR();
// Closes every table.
void FIMSISTEMA();

// Position (1-based) of the first largest / smallest element; 0 for an
// empty array; nil for a value that is no array.
rt::Value AMAX(const rt::Value& array);
rt::Value AMIN(const rt::Value& array);
// The array's length and those of its first elements, level by level.
rt::Value DIMENSIONS(const rt::Value& array);
rt::Value ACOMP(const rt::Value& array);
// A get/set accessor of element `index` (1-based) of the array held by the
// variable `name`: called without a value it reads, with one it writes.
std::function<rt::Value(const std::optional<rt::Value>&)> ABLOCK(std::string name, int index);

// Registers these and the calculator for the routines that call them by name.
void register_system_helpers();

}  // namespace qv::common
