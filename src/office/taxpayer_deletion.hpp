#pragma once
// Deleting chosen taxpayers of the current client folder: the whole
// declaration, or only the rural activity.
#include <string>
#include <vector>

namespace qv::office {

void EXCLUI();

// Deletes the rows of `cpfs` from the declaration tables (rural only:
// tables 15-19) of `folder`, every table had alone first; false, with
// nothing deleted, when one of them is held elsewhere (`busy_table`).
bool delete_declarations(const std::string& folder, const std::vector<std::string>& cpfs, bool rural_only,
                         int* busy_table = nullptr);

}  // namespace qv::office
