#pragma once
// Deleting chosen taxpayers of the current client folder: the whole
// declaration, or only the rural activity.
#include <string>
#include <vector>

namespace qv::office {

void EXCLUI();

// Deletes the rows of `cpfs` from the declaration tables (rural only:
// tables 15-19) of `folder`, every taxpayer's mark and every table had
// alone first; false, with nothing deleted, when one of them is held
// elsewhere: a table (`busy_table`), or a taxpayer another terminal has
// open (`in_use`, the system's message naming it).
bool delete_declarations(const std::string& folder, const std::vector<std::string>& cpfs, bool rural_only,
                         int* busy_table = nullptr, std::string* in_use = nullptr);

}  // namespace qv::office
