#include "converter/other_folder.hpp"

#include <vector>

#include "converter/table_rows.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/folder_search.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::converter {

namespace {

constexpr int kRegister = 9;

bool open_all(std::initializer_list<int> codes) {
    for (const int code : codes)
        if (!tables::ABERTURA(code)) return false;
    return true;
}

}  // namespace

Elsewhere write_in_other_folder(const std::string& cpf, std::initializer_list<int> codes,
                                const std::function<void()>& write, std::string& in_use, Change change) {
    const std::string home = tables::client_folder();
    bool found = false, written = false;
    in_use.clear();
    // Back in the data folder, whatever became of the writing: the next
    // taxpayer of the run must not land in the other folder's tables.
    const auto come_back = [&] {
        tables::set_client_folder(home);
        if (found) open_all(codes);
        tables::ABERTURA(kRegister);
    };
    try {
        found = tables::with_taxpayer(cpf, [&](tb::Table& reg) {
            tables::set_client_folder(tb::folder_of(reg.path()));
            tables::TaxpayerMarks marks;
            in_use = taxpayer_taken(marks, cpf);
            if (in_use.empty() && change == Change::Declaration) in_use = protection_refusal(reg, cpf);
            if (!in_use.empty() || !open_all(codes)) return;
            std::vector<int> held(codes);
            held.push_back(kRegister);
            const TablesLocked locks(held);
            if (!locks.ok()) return;
            write();
            written = true;
        });
    } catch (...) {
        found = true;
        come_back();
        throw;
    }
    come_back();
    if (!found) return Elsewhere::Nowhere;
    if (written) return Elsewhere::Written;
    return in_use.empty() ? Elsewhere::Busy : Elsewhere::InUse;
}

}  // namespace qv::converter
