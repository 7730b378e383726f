#pragma once
// Every capital gain of the open declaration computed again from its row,
// as its entry form computes it when the form is completed, and without
// asking anything: a gain written straight into the tables (by an import)
// gets the figures that its form would have given it.
namespace qv::gains {

// The gains' figures into their rows and parcels, then the declaration's
// totals (SOMA_NTRIB).
void recompute_gains();

}  // namespace qv::gains
