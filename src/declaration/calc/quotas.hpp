#pragma once
// The balance to pay split in quotas: at most 8, none under 50.00, each the
// balance divided and cut to cents so that they never exceed it.
namespace qv::declaration {

// Quotas of the balance I13_36 into QTD_QUOTA and I13_37. With nShow 1
// returns true after showing them, else returns I13_37.
double FQTD_QUOTA(int nShow);
// The simplified page's quota field: as FQTD_QUOTA without the estate-final
// rule and without clearing the automatic debit.
bool FPARCELA(int nShow);
// Condition of the quota-count field.
bool VE_QUOT();

// The largest count the balance allows: one quota per 50.00, 1 to 8.
int possible_quotas(double balance);

}  // namespace qv::declaration
