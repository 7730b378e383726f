#pragma once
// The results of both rural activities worked out before the declaration's
// file is written, as the rural result page works them out: the activity
// the declaration stands on from its variables and work copies, the other
// from the client folder's saved tables, read as they are. The summary's
// rural lines (I13_07, I3_11 and the cash-balance lines) then combine both,
// and the file's rural section writes each activity's own results.
#include <optional>
#include <string>
#include <string_view>

namespace qv::transfer {

// Both activities' results and their combination into the summary (no
// rural activity: nothing).
void compute_rural_results();

// A result line of an activity ("S" Brazil, "N" abroad) from the last
// computation; nothing for a line that is not a result or an activity not
// computed.
std::optional<double> rural_result(std::string_view activity, const std::string& line);

// The results are forgotten (the next declaration computes its own).
void forget_rural_results();

}  // namespace qv::transfer
