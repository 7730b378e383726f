#include "tables/folder_search.hpp"

#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::tables {

namespace {

constexpr int kRegisterArea = 9, kFolderListArea = 50;

// Puts the current folder and its register back when the search ends.
class FolderKept {
public:
    FolderKept() : origin_(client_folder()) {}
    ~FolderKept() {
        MUDADIR(origin_);
        set_client_folder(origin_);
    }
    FolderKept(const FolderKept&) = delete;
    FolderKept& operator=(const FolderKept&) = delete;
    const std::string& origin() const { return origin_; }

private:
    std::string origin_;
};

template <class Visit>
void each_folder(const FolderKept&, Visit visit) {
    if (!ABERTURA(kFolderListArea)) return;
    rt::table::Table& list = *ws().table(kFolderListArea);
    for (list.go_top(); !list.eof(); list.skip()) {
        const std::string folder = with_separator(rt::ALLTRIM(list.get("DIRETOR").as_string()));
        if (!rt::table::file_exists(folder + "IMP0912.DBF") || !MUDADIR(folder)) continue;
        rt::table::Table* reg = ws().table(kRegisterArea);
        if (reg && visit(folder, *reg)) return;
    }
}

}  // namespace

void for_each_register(const std::function<void(rt::table::Table&)>& visit) {
    const FolderKept kept;
    each_folder(kept, [&](const std::string&, rt::table::Table& reg) {
        visit(reg);
        return false;
    });
}

bool with_taxpayer(const std::string& cpf, const std::function<void(rt::table::Table&)>& found) {
    const FolderKept kept;
    const auto look = [&](rt::table::Table& reg) {
        reg.set_order(1);
        if (!reg.seek(rt::Value(cpf))) return false;
        found(reg);
        return true;
    };
    if (ABERTURA(kRegisterArea) && look(*ws().table(kRegisterArea))) return true;
    bool hit = false;
    each_folder(kept, [&](const std::string& folder, rt::table::Table& reg) {
        return folder != kept.origin() && (hit = look(reg));
    });
    return hit;
}

}  // namespace qv::tables
