#pragma once
// Rebuilding index files: one folder (REORG) or every folder of the list
// and the program folder (REINDEXA), and the clean-up of work files.
#include <string>
#include <string_view>

namespace qv::office {

// Mode 1 reopens the folder afterwards, 3 closes everything, 4 leaves the
// folder list open on the folder. False when a declaration table of the
// folder could not be opened.
bool REORG(std::string_view folder, int mode);
// Why the last REORG returned false, in the system's words (the file it
// could not open, the folder it may not write, the terminal in the way);
// empty after one that did its work.
std::string reorganise_failure();
void REINDEXA();

// A terminal is running while it holds its folder list (DIRET<nn>).
bool terminal_running(const std::string& terminal);
// Deletes the work files "TMP_<nn><terminal>.*" of `folder` of every
// terminal that is not running; returns how many files went.
int remove_idle_work_files(const std::string& folder);

}  // namespace qv::office
