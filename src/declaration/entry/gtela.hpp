#pragma once
// GTELA: the body of a declaration page. Shows the page's values, runs its
// entry forms and lists, recalculates, walks its sub-pages (OPCIR_1) and
// leaves in ULTTECLA the key that ended the page for the screen loop.
namespace qv::declaration {

void GTELA(int page);

}  // namespace qv::declaration
