#pragma once
// E-mail to taxpayers: the account settings, the draft, and sending it.
namespace qv::office {

void GERA_EMAIL();
void CONF_EMAIL();
void PREP_EMAIL();
// Sends the draft (CPFEMAIL, CEMAIL_ENV, CASSUNTO, CANEXO, CENVPEND,
// CEDITEXT); true when the server took it.
bool MANDA_EMAIL();
// Status-line hint n of the e-mail forms; true.
bool AJUDA_EMAIL(int n);

void register_email_routines();

}  // namespace qv::office
