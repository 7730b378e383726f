#pragma once
// The two windows the exempt-income page opens over its lines: the detail
// of the exempt capital-gain line (MOS_CAL) and the auxiliary income list
// by source (PEGA_VARIOS, Alt+F6).
#include <string_view>

namespace qv::declaration {

// `field` names the field it stands on ("M->I3_04"); empty when called as
// the help key, which then also runs the pick list and moves the page on.
bool MOS_CAL(std::string_view field = {});
void PEGA_VARIOS();

void register_exempt_window_routines();

}  // namespace qv::declaration
