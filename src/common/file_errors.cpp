#include "common/file_errors.hpp"

#include <unistd.h>

#include <cerrno>

#include "common/avisosn.hpp"
#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {

using rt::operator""_cp;

int dos_error_code(int errnum) {
    switch (errnum) {
        case 0: return 0;
        case ENOENT: return 2;
        case ENOTDIR: return 3;
        case EMFILE:
        case ENFILE: return 4;
        case EACCES:
        case EPERM:
        case EAGAIN:
        case EBUSY:
        case EROFS: return 5;
        default: return errnum;
    }
}

std::string file_error_text(int code, std::string_view file) {
    switch (code) {
        case 0: return {};
        case 2: return "Erro! Arquivo "_cp + std::string(file) + " não encontrado"_cp;
        case 3: return "Erro! Caminho não encontrado"_cp;
        case 4: return "Erro! Muito arquivos abertos. Confira o Config e Autoexec."_cp;
        case 5: return "Erro! Acesso negado. Outro terminal usando? "_cp;
        default: return "Erro nro: " + rt::STR(code, 3);
    }
}

void VEJAERRO(int code, std::string_view file) {
    if (code == 0) return;
    AVISOSN(std::vector<std::string>{file_error_text(code, file)});
}

std::string unwritable_folder_text(std::string_view folder) {
    if (::access(fs_path(folder).c_str(), W_OK) == 0) return {};
    return "A pasta "_cp + std::string(folder) + " não permite gravação: o programa não pode ser usado nela"_cp;
}

}  // namespace qv::common
