// The payroll statements' sub-menu of the converter: import the payroll
// export, edit one statement, edit them all in a grid, transfer them.
#include <vector>

#include "common/globals.hpp"
#include "common/option_bar.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "converter/converter_screens.hpp"
#include "converter/name_grid.hpp"
#include "converter/payroll_posting.hpp"
#include "office/boxes.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;

constexpr int kMenuWindow = 3;
constexpr int kFolderWidth = 40;

}  // namespace

bool IMPORTA() {
    MTELA1(7);
    rt::variables().set("PASTAFOLHA", Value(rt::PADR(Global{"ROTADOANO"}.text(), kFolderWidth)));
    rt::at_get(16, 24, "M->PASTAFOLHA", "").valid(
        [] { return common::ESPCIF(rt::variables().get("PASTAFOLHA").as_string()); });
    const bool read = rt::READ();
    common::FECHAJAN(kCounterWindow);
    if (!read) return false;
    return import_payroll_file(rt::ALLTRIM(rt::variables().get("PASTAFOLHA").as_string()));
}

void CONVFOLHA() {
    if (!tables::ABERTURA(kPayroll)) return;
    office::open_box(kMenuWindow, 3, 18, 9, 39,
                     {"", " Importar dados", " Editar individual", " editar Grupo", " Transferir dados"});
    Value texts = Value::array();
    for (const char* t : {"Importa dados de um arquivo TXT emitido pela folha pagamento",
                          "Edita os dados individualmente para a transferência",
                          "Edita todos os dados para a transferência", "Transfere os dados para o QV2012"})
        texts.as_array()->push_back(Value(rt::utf8_to_cp850(t)));
    while (true) {
        Global("OPCOES").set(Value("IEGT"));
        Global("MENSMENU").set(texts);
        const int choice = common::ESC_OPCAO(kMenuWindow, 4, 1, 20, 1, 0, 1);
        if (choice == 0) break;
        switch (choice) {
            case 1: IMPORTA(); break;
            case 2: PEGACOM(); break;
            case 3:
                tables::ws().select(kPayroll);
                EDITA(3);
                break;
            default:
                TRANSFERE();
                tables::ABERTURA(kPayroll);
                break;
        }
    }
    common::FECHAJAN(kMenuWindow);
}

}  // namespace qv::converter
