#pragma once
// Rebuilding the tax program's declaration index from its CPF folders.
#include <string>
#include <vector>

namespace qv::transfer {

// The CPF folders of the tax program's folder (names of eleven digits), in
// name order.
std::vector<std::string> cpf_folders(const std::string& os_folder);
// The declaration file of a CPF folder ("<CPF>.XML" in any case); empty when
// there is none.
std::string declaration_in(const std::string& os_folder, const std::string& cpf);
// The declaration with its identifier written before its closing tag.
std::string with_identifier(std::string_view declaration, std::string_view item);

void RECUP_INDICE();

}  // namespace qv::transfer
