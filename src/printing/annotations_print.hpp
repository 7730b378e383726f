#pragma once
// The taxpayer's annotations on paper, under a heading with the status of
// the declaration and the phones.
namespace qv::printing {

void ANOTE_ESP();

}  // namespace qv::printing
