#pragma once
// The choice between the complete model and the simplified one (standard
// discount), and the summary page's yes/no fields.
#include <string_view>

namespace qv::declaration {

// Validation of the model field USAPADRAO.
bool CONF_PADR();
// A previous rural loss is lost by the simplified model: asks, and clears it.
bool PREJ_RUR();
// Switches the model.
bool MUDA();
// The simplified page's "switch to complete" answer.
bool VIRA_COMP(std::string_view cAnswer);
// The balance page's "check the declaration" answer.
bool FAZCONF(std::string_view cAnswer);

}  // namespace qv::declaration
