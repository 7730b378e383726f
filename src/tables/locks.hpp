#pragma once
// Shared access: opening with a mode, and the record, file and append locks
// that every write takes, retried every half second until their limit or
// Esc, with the waiting shown on the status line.
#include <functional>
#include <string_view>

namespace qv::tables {

// Opens `file` in the selected work area, exclusive or shared, under the
// alias APELIDO when set. Never waits: false when another user holds the
// table in a conflicting mode (or it cannot be read); the caller reports.
bool NETUSE(std::string_view file, bool exclusive, double seconds = 0);

// Locks the current record of the selected table; limit in seconds.
bool REC_LOCK(double seconds = 2);
// Locks the selected table as a whole; 0 = no limit (until Esc).
bool FIL_LOCK(double seconds = 0);
// Appends a blank record to the selected table and locks it; 0 = no limit.
bool ADD_REC(double seconds = 0);

// The half-second pause between tries (tests replace it to step the other
// process instead of sleeping); an empty function puts the real pause back.
void set_lock_pause(std::function<void()> pause);

}  // namespace qv::tables
