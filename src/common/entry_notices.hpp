#pragma once
// What an entry field tells the user when it refuses what was typed: an
// impossible date, more digits than the field holds, a minus sign on an
// amount that is never negative. The field keeps what was typed.
namespace qv::common {

// The program's messages for the entry fields' refusals (idempotent).
void install_entry_notices();

}  // namespace qv::common
