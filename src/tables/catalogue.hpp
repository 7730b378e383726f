#pragma once
// What a table code means: its file, the folder it lives in, its index
// orders and files, and how it is opened. Only this subsystem turns codes
// into file names; the rest of the system opens tables by code.
#include <optional>
#include <string>

namespace qv::tables {

enum class Folder { Client, Program };
enum class Mode { Caller, Shared, Exclusive };

struct CatalogueEntry {
    int code = 0;
    std::string file;      // base name, without folder or extension
    Folder folder = Folder::Program;
    std::string key1;      // empty: no index
    std::string key2;
    std::string file2;     // index file of order 2 (base name, no folder)
    std::string key3;
    std::string file3;
    Mode mode = Mode::Shared;
};

// The entry of a code (1-20, 41-73 where catalogued); `terminal` names the
// per-terminal tables (DIRET<terminal>, DETALH<terminal>).
std::optional<CatalogueEntry> catalogue_entry(int code, const std::string& terminal);

// The reference tables delivered with the program rather than created by it.
bool is_reference_table(int code);

// Codes whose opening ends with SAI_ABRE.
bool closes_with_sai_abre(int code);

}  // namespace qv::tables
