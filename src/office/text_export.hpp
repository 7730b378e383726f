#pragma once
// Declaration tables written as delimited text files in the work folder.
#include <string>

namespace qv::office {

void EXPORTA();
// Every field of every row of the selected table, all taxpayers, to
// LOCTRAB + `file`; false when the file could not be written.
bool ENV_ARQ(const std::string& file);

}  // namespace qv::office
