#pragma once
// CALC: the recalculation every page, grid and the save call after an edit.
namespace qv::declaration {

// nMode 1 carnê-leão both ways, 2 carnê-leão, 3 exempt and exclusive
// totals, 4 payment totals, 5 exempt capital-gain line, 6 official social
// security, 7 the whole summary. nShow 1 writes the results on the page.
bool CALC(int nMode, int nShow = 0);

// The summary chain under the complete model and under the simplified one.
void complete_chain(int nShow);
void simplified_chain(int nShow);

// The simplified page's own recalculation (1) or only its quotas (2).
bool CSIMPLES(int nMode, int nShow);

}  // namespace qv::declaration
