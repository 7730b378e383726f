#pragma once
// The sections of the declaration file written from the rural activity,
// the stock-market statement and the capital gains of the open declaration.
#include <string>

namespace qv::transfer {

class XmlWriter;

void write_variable_income(XmlWriter& w);   // rendaVariavel
void write_rural_activity(XmlWriter& w);    // atividadeRural
void write_capital_gains(XmlWriter& w);     // ganhosDeCapital
void write_foreign_currency(XmlWriter& w);  // moedaEstrangeira

// Hands these four to the declaration file's frame.
void register_section_writers();

}  // namespace qv::transfer
