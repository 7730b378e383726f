#include "tables/state.hpp"

#include <filesystem>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::tables {
namespace {

const common::Global kNusu{"NUSU"};
const common::Global kArqdef{"ARQDEF"};
const common::Global kRotadef{"ROTADEF"};
const common::Global kLocarq{"LOCARQ"};
const common::Global kRota{"ROTA"};
const common::Global kMosMens{"MOS_MENS"};
const common::Global kRefazInd{"REFAZ_IND"};
const common::Global kApelido{"APELIDO"};
const common::Global kTamOld{"TAM_OLD"};
const common::Global kCorPisca{"COR_PISCA"};
const common::Global kCorPega{"COR_PEGA"};

std::string current_folder() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string("./") : with_separator(rt::utf8_to_cp850(cwd.string()));
}

}  // namespace

rt::table::Workspace& ws() { return rt::table::workspace(); }

std::string os_name(std::string_view name) { return std::string(name); }

std::string terminal() {
    const rt::Value v = kNusu.value();
    if (v.is_number()) return rt::STRZERO(v.as_number(), 2);
    const std::string t = rt::ALLTRIM(v.as_string());
    return t.empty() ? std::string("01") : t;
}

std::string program_folder() {
    std::string f = rt::ALLTRIM(kArqdef.text());
    if (f.empty()) f = rt::ALLTRIM(kRotadef.text());
    return f.empty() ? current_folder() : with_separator(f);
}

std::string client_folder() {
    const std::string f = rt::ALLTRIM(kLocarq.text());
    return f.empty() ? program_folder() : with_separator(f);
}

void set_client_folder(std::string_view folder) { kLocarq.set(rt::Value(with_separator(folder))); }

std::string default_folder() {
    const std::string f = rt::ALLTRIM(kRota.text());
    return f.empty() ? program_folder() : with_separator(f);
}

bool show_messages() { return kMosMens.value().as_bool(); }
void set_show_messages(bool on) { kMosMens.set(rt::Value(on)); }
bool rebuild_indexes() { return kRefazInd.value().as_bool(); }
std::string alias_override() { return rt::ALLTRIM(kApelido.text()); }
void reset_message_width() { kTamOld.set(rt::Value(0)); }
void set_blink_colour() { kCorPisca.set(rt::Value(kCorPega.number(0) + 128)); }

std::string with_separator(std::string_view folder) {
    const std::string f = common::BAR_DIR(folder);
    return f.empty() ? std::string("./") : f;
}

std::string without_separator(std::string_view folder) { return common::BAR_FORA(folder); }

std::string in_folder(std::string_view folder, std::string_view file) {
    return with_separator(folder) + std::string(file);
}

}  // namespace qv::tables
