#pragma once
// The work folder and the tax program's data folder of the terminal.
#include <string>
#include <string_view>

namespace qv::office {

// 1 the work folder, 2 the tax program's folder.
void SELAREA(int mode);
// Asks a new folder for the variable `name`, padded to `width` (40 or 80).
std::string NOVA_ROTA(std::string_view name, std::string_view word, int width);
// Alt+P in the tax program's folder box: the program's usual folder.
void DIRPADRAO();

}  // namespace qv::office
