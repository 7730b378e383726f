#pragma once
// What the register list shows of the taxpayer under its cursor: the
// taxpayer line of the CPF prompt, the register data, and the findings of
// the declaration's last check.
namespace qv::tables {

// MOSTR_PAG: the taxpayer line of window 3 again; with 1 the register's
// CPF and name are taken into the variables first (not in a recovery).
void MOSTR_PAG(int mode);
// MOS_DETAL: the register data of the taxpayer in window 4 until a key.
void MOS_DETAL();
// MOS_PEND: the check findings of the taxpayer, in a copy of the terminal's
// own.
void MOS_PEND();

void register_register_view_routines();

}  // namespace qv::tables
