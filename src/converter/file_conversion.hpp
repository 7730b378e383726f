#pragma once
// FAZCONV: one declaration file into the destination folder's tables
// (open in their work areas: CRIA_BASE).
#include <string>
#include <vector>

namespace qv::converter {

// Kinds of import: the whole declaration, capital gains only, receipt
// numbers only.
enum ImportKind { kFullImport = 1, kGainsOnly = 2, kReceiptsOnly = 3 };

// What became of a file: converted, left because its taxpayer is there
// already (last year's file), or refused (unreadable, cut short, wrong
// layout, tables held, the user's no).
enum class FileOutcome { Converted, Existing, Refused };

// Converts the file at `path`; true when it was converted. A file that
// cannot be converted (unreadable, empty, not a declaration, cut short,
// taxpayer already there from last year, tables held by another user)
// changes nothing and is named in `report` with the reason; records of a
// type no step expects are reported and passed over.
bool FAZCONV(int kind, const std::string& path, std::vector<std::string>& report);
FileOutcome convert_file(int kind, const std::string& path, std::vector<std::string>& report);

}  // namespace qv::converter
