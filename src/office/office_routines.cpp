#include "office/office_routines.hpp"

#include <mutex>
#include <span>
#include <string>

#include "office/backup.hpp"
#include "office/direct_copy.hpp"
#include "office/colour_editor.hpp"
#include "office/cpf_change.hpp"
#include "office/folder_options.hpp"
#include "office/part_copy.hpp"
#include "office/taxpayer_deletion.hpp"
#include "office/folder_copy.hpp"
#include "office/office_settings.hpp"
#include "office/reorganise.hpp"
#include "office/selic_rates.hpp"
#include "office/text_export.hpp"
#include "runtime/core/functions.hpp"

namespace qv::office {

namespace {

using Args = std::span<const rt::Value>;

int number(Args a, std::size_t i, int fallback) {
    return i < a.size() && a[i].type() == rt::Type::Number ? static_cast<int>(a[i].as_number()) : fallback;
}
std::string text(Args a, std::size_t i) { return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string(); }

void logical(const char* name, bool (*fn)()) {
    rt::register_function(name, [fn](Args) { return rt::Value(fn()); });
}
void action(const char* name, void (*fn)()) {
    rt::register_function(name, [fn](Args) {
        fn();
        return rt::Value();
    });
}

void register_backups() {
    rt::register_function("BKMANUAL", [](Args a) { return rt::Value(BKMANUAL(number(a, 0, 1), text(a, 1), text(a, 2))); });
    rt::register_function("VOMANUAL", [](Args a) { return rt::Value(VOMANUAL(number(a, 0, 1), text(a, 1), text(a, 2))); });
    logical("BKAUTOMA", BKAUTOMA);
    logical("VOAUTOMA", VOAUTOMA);
    logical("PAREBAK", PAREBAK);
    logical("FAZ_COPIA", FAZ_COPIA);
    logical("TRAZ_COPIA", TRAZ_COPIA);
    rt::register_function("TRANOME", [](Args a) { return rt::Value(TRANOME(number(a, 0, 1))); });
}

void register_maintenance() {
    rt::register_function("FAZAPP", [](Args a) {
        return rt::Value(FAZAPP(number(a, 0, 1), text(a, 1), text(a, 2), text(a, 3)));
    });
    rt::register_function("REORG", [](Args a) { return rt::Value(REORG(text(a, 0), number(a, 1, 3))); });
    action("REINDEXA", REINDEXA);
    action("MUDA_CPF", MUDA_CPF);
}

void register_settings() {
    action("VAL_DECL", VAL_DECL);
    action("TIP_GRAV", TIP_GRAV);
    action("MUDA_ESTATUS", MUDA_ESTATUS);
    rt::register_function("MENS_VAL", [](Args a) { return rt::Value(MENS_VAL(number(a, 0, 1))); });
    logical("VAL_TEMP", VAL_TEMP);
    action("CAD_UFIR", CAD_UFIR);
    rt::register_function("BUSMES", [](Args a) { return rt::Value(BUSMES(number(a, 0, 0), text(a, 1), text(a, 2))); });
    rt::register_function("BUSANO", [](Args a) { return rt::Value(BUSANO(number(a, 0, 0), text(a, 1), text(a, 2))); });
    action("EXPORTA", EXPORTA);
    rt::register_function("ENV_ARQ", [](Args a) { return rt::Value(ENV_ARQ(text(a, 0))); });
}

void register_screens_and_declarations() {
    rt::register_function("SELAREA", [](Args a) {
        SELAREA(number(a, 0, 1));
        return rt::Value();
    });
    rt::register_function("NOVA_ROTA", [](Args a) { return rt::Value(NOVA_ROTA(text(a, 0), text(a, 1), number(a, 2, 40))); });
    action("DIRPADRAO", DIRPADRAO);
    rt::register_function("MODCOR", [](Args a) {
        MODCOR(a.empty() || a[0].is_nil() || a[0].as_bool());
        return rt::Value();
    });
    rt::register_function("ESCOL_COR", [](Args a) {
        ESCOL_COR(number(a, 0, 1));
        return rt::Value();
    });
    action("DESTELA", DESTELA);
    rt::register_function("RE_FAZ", [](Args a) {
        RE_FAZ(number(a, 0, 2));
        return rt::Value();
    });
    logical("GRAVACOR", GRAVACOR);
    action("EXCLUI", EXCLUI);
    action("TRANF_PARTE", TRANF_PARTE);
    action("SAI_FORA", SAI_FORA);
}

}  // namespace

void register_office_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        register_backups();
        register_maintenance();
        register_settings();
        register_screens_and_declarations();
    });
}

}  // namespace qv::office
