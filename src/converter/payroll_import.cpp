// The payroll export folha.txt read into the statements table.
#include "common/avisosn.hpp"
#include "common/paths.hpp"
#include "converter/payroll_posting.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/state.hpp"

namespace qv::converter {

bool import_payroll_file(const std::string& folder) {
    using rt::operator""_cp;
    if (!common::VERDIR(folder)) {
        common::AVISOSN("Drive e/ou Diretório "_cp + folder + " inexistente !!", 0);
        return false;
    }
    const std::string file = rt::table::resolve_path(common::BAR_DIR(folder) + "folha.txt");
    if (!rt::table::file_exists(file)) {
        common::AVISOSN("Arquivo para a importação FOLHA.TXT não localizado!"_cp, 0);
        return false;
    }
    rt::table::Table& statements = tables::ws().current(kPayroll);
    rt::table::append_from_delimited(tables::ws(), statements, file);
    statements.commit();
    return true;
}

}  // namespace qv::converter
