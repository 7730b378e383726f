#pragma once
// The variables of the open declaration that the screen loop and the page
// entry code share: the page shown, the page before, the sub-page, the key
// that ended a page and the page-change flag.
#include "common/globals.hpp"

namespace qv::declaration::vars {

inline const common::Global TELA{"TELA"};
inline const common::Global NT{"NT"};
inline const common::Global TELANT{"TELANT"};
inline const common::Global TELAMAX{"TELAMAX"};
inline const common::Global TELVEL{"TELVEL"};
inline const common::Global OPCIR_1{"OPCIR_1"};
inline const common::Global ULTTECLA{"ULTTECLA"};
inline const common::Global TECLAMUDA{"TECLAMUDA"};
inline const common::Global PVEZ{"PVEZ"};
inline const common::Global INI{"INI"};
inline const common::Global TEMRURAL{"TEMRURAL"};
inline const common::Global ATV_BRASIL{"ATV_BRASIL"};
inline const common::Global TEMP_SAL{"TEMP_SAL"};
inline const common::Global SEM_SALV{"SEM_SALV"};
inline const common::Global ESTATUS{"ESTATUS"};
inline const common::Global STATRAVA{"STATRAVA"};
inline const common::Global DECFINAL{"DECFINAL"};
inline const common::Global DECSAIDA{"DECSAIDA"};
inline const common::Global DECJUDI{"DECJUDI"};
inline const common::Global N_DEPEN{"N_DEPEN"};
inline const common::Global JA_CALC{"JA_CALC"};
inline const common::Global SO_MOS{"SO_MOS"};

inline bool flag(const common::Global& g) { return g.value().as_bool(); }
inline bool yes(const common::Global& g) { return g.text() == "S"; }

}  // namespace qv::declaration::vars
