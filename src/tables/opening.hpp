#pragma once
// Opening tables by code: the one way into the system's tables.
#include <optional>
#include <string>
#include <string_view>

namespace qv::tables {

// Opens the table of `code` in work area `code` (declaration tables of the
// current client folder, program tables of the program folder), creating a
// missing table from its layout and a missing index file from its key. The
// table is left selected, order 1 active, on its first record. Code 0 is
// the start-up pass over the folder list and the program tables.
bool ABERTURA(int code, bool exclusive = false);
// ABERTURA at a program's start. Another terminal started at the same moment
// may be making the program folder's tables or their indexes, which it
// holds alone for a moment: while the opening fails only because a table is
// in use it is tried again, for a few seconds at most.
bool open_at_start(int code);

// Opens `file` in `area` with up to three orders: order 1 in <file>.cdx,
// order 2 in `file2` (by default <file>B), order 3 in `file3`.
bool ABREARQ(int area, bool exclusive, std::string_view file, std::string_view key1 = {},
             std::string_view key2 = {}, std::optional<std::string> file2 = std::nullopt,
             std::string_view key3 = {}, std::string_view file3 = {});

// The closing step of an opening (and, for 0 and 50, the folder list again).
bool SAI_ABRE(int code);
void FECHA_PROV();   // areas 21-40
void FECHA_TODO();   // areas 1-20 except 9, and 21-40
// Deletes the empty index files (size 0) of the default folder.
void CDX();
// The browsers' record skipper on the selected table.
long SKIPPED(long n, bool appendmode = false);

}  // namespace qv::tables
