#pragma once
// Billing the office's clients through bank collection slips.
#include <string>

namespace qv::office {

void BOLETO();
void CONF_BOLETO();
void FAZ_BOLETO();
// One slip after another until "Outro boleto ?" is answered no.
void UNICO_BOL();
// Writes the remittance file of the waiting slips and empties their table.
bool GERA_BOLETO();
// Finds the taxpayer of `cpf` (mode 1 the slip's payer, 2 the e-mail's
// recipient); false, with the message, when the CPF is wrong or nowhere.
bool LOCALI_CPF(const std::string& cpf, int mode);
// The register on the payer; false (and the message) when nowhere.
bool BUSCACPF(const std::string& cpf);

void register_billing_routines();

}  // namespace qv::office
