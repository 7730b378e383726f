#pragma once
// Start-up shared by both programs: the console, the text windows and the
// runtime settings, the program folder, the terminal number and the
// terminal's colours; and the terminal's settings record in CONFIG.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "runtime/core/date.hpp"
#include "runtime/core/value.hpp"

namespace qv::common {

using FieldValues = std::vector<std::pair<std::string, rt::Value>>;

// Sets up console, windows and settings; fills DIRDEF, ROTADEF, ARQDEF,
// NUSU, ALJ/ACJ/ALJA/ACJA and the colour variables. `terminal` is the first
// command-line argument; the environment variable TERMINAL wins over it.
// Returns NUSU.
std::string INICIOSIS(std::optional<std::string> terminal = std::nullopt);

// Why the program folder INICIOSIS found cannot be used (a name with
// characters the program cannot hold, a name longer than the 80 characters
// its records keep, a folder it may not write); nothing when it can. The
// terminal's colours are not loaded from such a folder.
std::optional<std::string> program_folder_fault();

// The terminal number when none was given: "00" when the program folder is
// on a local disk, else asked of the user (proposing EQUIP).
std::string QUAL_USUR();

// The current folder (no trailing "/").
std::string GETDIR();
// True when `folder` (default: the current folder) lies on a network file
// system (NFS, SMB/CIFS, ...).
bool TA_NA_REDE(std::string_view folder = {});
// What QUAL_USUR asks whether a folder is on the network (TA_NA_REDE
// unless replaced; tests stand in for a network mount). An empty function
// puts TA_NA_REDE back.
void set_network_probe(std::function<bool(std::string_view)> probe);
// The file-system types (statfs f_type) counted as network drives.
bool is_network_file_system(long type);

// "7" -> "07", "12" -> "12"; no digits or an empty text -> "00"; a number
// outside 0-99 -> "00".
std::string terminal_digits(std::string_view text);
// The terminal text to use: the environment's TERMINAL when not empty,
// else the argument (nothing: ask QUAL_USUR).
std::optional<std::string> terminal_source(std::optional<std::string> argument, std::optional<std::string> environment);

// The defaults of a new terminal's records.
FieldValues cores_defaults();
struct ConfigContext {
    std::string terminal;
    std::string rotadef;   // program folder, no trailing "/"
    std::string dirdef;    // DQV2012 as given
    std::string home;      // the user's home folder, no trailing "/"
    rt::Date today;
};
FieldValues config_defaults(const ConfigContext& context);
// The context of this process: its terminal, folders, home and today.
ConfigContext current_config_context(std::string_view terminal);
// A folder field holds 80 characters. A default folder longer than that
// (a long home folder) was stored cut; such a value read back is the whole
// default again, so that nothing is written to the cut folder. Any other
// value is returned as stored.
std::string whole_default_folder(std::string_view stored, std::string_view default_folder);

// The folder of the previous edition: "QV2011" beside the program folder.
std::string previous_edition_folder(std::string_view rotadef);
// The tax program's data folder and last year's transmitted declarations.
std::string tax_program_folder(std::string_view home);
std::string previous_tax_program_folder(std::string_view home);

}  // namespace qv::common
