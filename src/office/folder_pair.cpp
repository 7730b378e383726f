#include "office/folder_pair.hpp"

#include <cctype>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "common/frame_boxes.hpp"
#include "office/folder_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/ui/read.hpp"
#include "tables/folders.hpp"

namespace qv::office {

using rt::operator""_cp;

namespace {

constexpr int kBoxWindow = 4;
constexpr int kWidth = 80;
const common::Global kOrigem("ORIGEM");
const common::Global kDestino("DESTINO");
const common::Global kOrig("ORIG");
const common::Global kDest("DEST");
const common::Global kRotaback("ROTABACK");
const common::Global kRotadoano("ROTADOANO");
const common::Global kXdrive("XDRIVE");

bool is_backup_side_origin(PairUse use) { return use == PairUse::Restore || use == PairUse::CopyFrom; }
bool asked_by_tranome(PairUse use) { return use != PairUse::Backup && use != PairUse::Restore; }

// The folders are kept as typed: a Linux folder's letters are its own. The
// entry takes more than the field keeps, so that a name too long is seen
// whole and refused, never cut.
std::string field_text(std::string_view folder) { return rt::PADR(rt::TRIM(folder), common::kFolderEntryWidth); }

void prefill(PairUse use) {
    const std::string data = kRotadoano.text();
    const std::string backup = kRotaback.text();
    kOrigem.set(rt::Value(field_text(is_backup_side_origin(use) ? backup : data)));
    kDestino.set(rt::Value(field_text(is_backup_side_origin(use) ? data : backup)));
}

void draw_box() { common::paint_dialog_frame(4); }

bool read_fields() {
    const auto espcif = [](const char* name) {
        return [name] {
            const std::string folder = rt::TRIM(common::Global(name).text());
            if (const std::string refusal = common::folder_length_refusal(folder, kWidth); !refusal.empty()) {
                common::AVISOSN(refusal, 0);
                return false;
            }
            return common::ESPCIF(folder);
        };
    };
    rt::at_get(10, 16, "M->ORIGEM", "@S60").valid(espcif("ORIGEM"));
    rt::at_get(12, 16, "M->DESTINO", "@S60").valid(espcif("DESTINO"));
    return rt::READ() && rt::LASTKEY() != rt::key::ESC;
}

bool refuse(std::string_view text) {
    common::AVISOSN(std::string(text), 0);
    return false;
}

// The destination exists, or is made after the question; a bare drive is
// taken as it is.
bool destination_ready(const std::string& typed) {
    if (typed.size() <= 3) return true;
    return tables::CRI_NDIR(typed, " QV2012");
}

bool acceptable(PairUse use) {
    const std::string origin = rt::TRIM(kOrigem.text());
    const std::string destination = rt::TRIM(kDestino.text());
    const bool tranome = asked_by_tranome(use);
    if (same_folder(origin, destination))
        return refuse(tranome ? "ATENCÃO! As Pastas não podem ser iguais"_cp
                              : "ATENÇÃO! As pastas origem e destino não podem ser iguais"_cp);
    if (!common::VERDIR(origin))
        return refuse((tranome ? "Pasta de  origem " : "Pasta origem ") + origin + " inexistente !!");
    if (use == PairUse::Backup && !folder_has_tables(local_folder(origin), 12)) return false;
    if ((use == PairUse::CopyTo || use == PairUse::CopyBetween) && !folder_has_tables(local_folder(origin), 11))
        return false;
    return destination_ready(destination);
}

void settle(PairUse use) {
    kOrig.set(rt::Value(local_folder(kOrigem.text())));
    kDest.set(rt::Value(local_folder(kDestino.text())));
    switch (use) {
        case PairUse::Backup:
        case PairUse::CopyTo: kRotaback.set(rt::Value(rt::TRIM(kDestino.text()))); break;
        case PairUse::Restore:
        case PairUse::CopyFrom: kRotaback.set(rt::Value(rt::TRIM(kOrigem.text()))); break;
        case PairUse::CopyBetween: break;
    }
    // The drive of the mirrored backups follows a backup folder named by its
    // drive letter ("B:\\COPIAS"); a folder named by its path keeps the letter.
    if (use == PairUse::Backup || use == PairUse::Restore) {
        const std::string backup_side = rt::ALLTRIM(kRotaback.text());
        if (backup_side.size() >= 2 && backup_side[1] == ':' && std::isalpha(static_cast<unsigned char>(backup_side[0])))
            kXdrive.set(rt::Value(rt::UPPER(backup_side.substr(0, 1))));
    }
}

}  // namespace

bool folder_has_tables(const std::string& folder, int last) {
    for (int code = 1; code <= last; ++code) {
        const std::string file = table_name(code) + ".DBF";
        if (rt::table::find_in_folder(folder, file).empty()) {
            common::AVISOSN("Não encontrado o Arquivo "_cp + file, 0);
            return false;
        }
    }
    return true;
}

bool ask_folder_pair(PairUse use) {
    prefill(use);
    draw_box();
    bool ok = false;
    while (true) {
        if (!read_fields()) break;
        if (use == PairUse::Backup || use == PairUse::Restore)
            kRotaback.set(rt::Value(rt::TRIM(use == PairUse::Backup ? kDestino.text() : kOrigem.text())));
        if (acceptable(use)) {
            ok = true;
            break;
        }
    }
    common::FECHAJAN(kBoxWindow);
    if (ok) settle(use);
    return ok;
}

std::string origin_folder() { return kOrig.text(); }
std::string destination_folder() { return kDest.text(); }

}  // namespace qv::office
