#pragma once
// The capital gains' totals carried into the declaration: exempt and
// taxable amounts, taxes paid, amounts still to receive, costs of the year.
namespace qv::gains {

// Run on loading the declaration and after a gain is saved or deleted.
void SOMA_NTRIB();

}  // namespace qv::gains
