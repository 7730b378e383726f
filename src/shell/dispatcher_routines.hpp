#pragma once
// Routines of other subsystems that the main menu's features call by name
// (DECLARA, INIC_VAR, EDITA, the screen frames, the backup routines, ...).
// They are reached through the runtime's routine registry, so that the menu
// works before they exist: a routine that is not registered yet is "not
// built", and the feature that needs it tells the user so.
//
// Names the main menu calls: DECLARA (ids 11-13, 51, 63-65), EDITA (15 with
// 40, 64 with 51, the agenda lists 48-50), EXCLUI, SELAREA, TRANOME, MODCOR,
// VAL_DECL, TIP_GRAV, MUDA_ESTATUS, CAD_UFIR, REINDEXA, MUDA_CPF,
// TRANF_PARTE, EXPORTA, BOLETO, GERA_EMAIL, EDITEXT, CONFIMP, IMP_TXT,
// RECUP_INDICE, FAZ_COPIA, TRAZ_COPIA, BKAUTOMA, VOAUTOMA, BKMANUAL,
// VOMANUAL (a logical result: false = failed), the screen frames MTELA1,
// MTELA3, MTELA13; and from GET_CODIGO: INIC_VAR, FAZIMP, MOSTR_PAG.
#include <initializer_list>
#include <optional>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::shell {

bool routine_built(std::string_view name);
// The routine's result; nullopt when it is not registered.
std::optional<rt::Value> call_routine(std::string_view name, std::initializer_list<rt::Value> args = {});
// As call_routine, but an unregistered routine shows the "not available"
// notice on the status line (and waits for a key).
std::optional<rt::Value> call_or_notice(std::string_view name, std::initializer_list<rt::Value> args = {});
// A routine's result read as a logical: a routine returning nothing (nil)
// counts as success; an unregistered routine gives `missing`.
bool call_as_bool(std::string_view name, std::initializer_list<rt::Value> args, bool missing);

}  // namespace qv::shell
