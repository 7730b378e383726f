#pragma once
// Every subsystem's routines that others call by name are registered here,
// once, before the main program builds its menu.

namespace qv::shell {

void register_system_routines();

}  // namespace qv::shell
