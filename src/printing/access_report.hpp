#pragma once
// The access report: who worked on each taxpayer's declaration, when and
// for how long, from the usage log.
#include <string_view>

namespace qv::printing {

// Seconds of a duration written "hh:mm:ss" (or "hh:mm"); 0 when unreadable.
long duration_seconds(std::string_view text);

void CABEC_RELAT();
// One log row of the taxpayer.
void LIN_RELAT();
// Sheet 16: the taxpayer's rows of the log.
void REL_ACESSO();

}  // namespace qv::printing
