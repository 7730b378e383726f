#pragma once
// Changing a taxpayer's CPF in every declaration table of a client folder.
#include <string>

namespace qv::office {

enum class CpfChange { Done, NewExists, OldMissing, Busy, InUse };

// Both taxpayers' marks and every table are had alone before the first row
// changes; when one is held elsewhere nothing changes (Busy, `busy_table`
// names the table; InUse, `in_use` is the message naming the terminal that
// has the taxpayer open).
CpfChange change_cpf(const std::string& folder, const std::string& old_cpf, const std::string& new_cpf,
                     int* busy_table = nullptr, std::string* in_use = nullptr);
// The menu action: asks old and new CPF until Esc.
void MUDA_CPF();

// F1 / F2 bound to the look-ups by name and by CPF while a CPF is asked,
// with their hint on the status line; unbound when the guard goes.
class LookupKeys {
public:
    LookupKeys();
    ~LookupKeys();
    LookupKeys(const LookupKeys&) = delete;
    LookupKeys& operator=(const LookupKeys&) = delete;
};

}  // namespace qv::office
