// Id 52: prints again the text file of the last "NAO DOS" print run.
#include <filesystem>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/core/functions.hpp"
#include "shell/menu_features.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

void print_nao_dos() {
    const std::string file = common::Global("LOCTRAB").text() + "NAO-DOS.TXT";
    std::error_code ec;
    if (!std::filesystem::exists(common::fs_path(common::to_local_path(file)), ec)) {
        common::AVISOSN("Gere antes o arquivo NAO DOS usando no item acima");
        return;
    }
    tables::ABERTURA(9);
    if (rt::table::Table* reg = tables::ws().table(9)) rt::variables().set("EMAIL", reg->get("EMAIL"));
    rt::call_routine("IMP_TXT", {rt::Value(2)});
    reopen_register();
}

}  // namespace qv::shell
