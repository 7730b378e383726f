#pragma once
// The program-wide variables the table layer reads and writes (they live in
// the variable store; the fallbacks let the layer work before start-up has
// created them, and in tests), the program's workspace, and the folder
// names as the layer uses them (Linux names with a trailing "/").
#include <string>
#include <string_view>
#include "runtime/table/workspace.hpp"

namespace qv::tables {

rt::table::Workspace& ws();

// NUSU, two digits ("01" when unset).
std::string terminal();
// ARQDEF (else ROTADEF, else the current folder), with a trailing "/".
std::string program_folder();
// LOCARQ (else the program folder), with a trailing "/".
std::string client_folder();
void set_client_folder(std::string_view folder);
// ROTA: the folder relative file names are taken from (the program folder
// until a client folder is selected).
std::string default_folder();

bool show_messages();              // MOS_MENS
void set_show_messages(bool on);
bool rebuild_indexes();            // REFAZ_IND
std::string alias_override();      // APELIDO, trimmed
void reset_message_width();        // TAM_OLD = 0
void set_blink_colour();           // COR_PISCA = COR_PEGA + 128

// A name as this layer hands it to the table engine: the program's own
// characters (CP850), which the engine's path resolution converts to the
// file system's (UTF-8) itself. Kept for the callers that still ask.
std::string os_name(std::string_view name);

// Folder names: with and without the trailing "/", and a file inside one.
std::string with_separator(std::string_view folder);
std::string without_separator(std::string_view folder);
std::string in_folder(std::string_view folder, std::string_view file);

}  // namespace qv::tables
