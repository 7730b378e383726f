#pragma once
// What a grid does while it waits for a key: the usage clock stops after
// the idle minutes allowed, its display follows the minutes, and the agenda
// reminders fall due.
namespace qv::declaration::grids {

// The key the grid acts on next, the waiting done as above (grids 20 and
// below; the others just wait).
int wait_grid_key(int code);

// VE_AGEN: each reminder of AAGEN due at this hour and minute is shown once
// and removed.
void VE_AGEN();

}  // namespace qv::declaration::grids
