#pragma once
// The import of the tax program's declaration files: the folder's files,
// the pick list of their taxpayers, and the conversion of those marked.
#include <string>
#include <vector>

namespace qv::converter {

// Switches the opening messages off and runs ABRE_DISCO.
void CONVDISCO(int kind);
// Folder form, pick list and the loop over the marked taxpayers.
void ABRE_DISCO(int kind);

// The folder's declaration files: *.DBK, then *.DEC, then *.BAK, whatever
// the case of the extension, each group in name order.
std::vector<std::string> declaration_files(const std::string& folder);

// Fills LISNOME (open, area 70) with one row per 2011 or 2012 declaration
// file of `files` (full names; the rows keep the names without the folder);
// returns the number of such files.
int list_taxpayers(const std::vector<std::string>& files);

struct Counters {
    int to_convert = 0, converted = 0, existing = 0, refused = 0, left = 0;
};

// A pending Esc asks whether to stop; true when the user stops.
bool stop_asked();
// The counters window's five counters.
void show_counters(const Counters& c);

// Converts the marked rows of LISNOME (files of `folder`) in name order; the report gathers
// the files not taken and the records passed over.
Counters convert_marked(int kind, const std::string& folder, std::vector<std::string>& report);

}  // namespace qv::converter
