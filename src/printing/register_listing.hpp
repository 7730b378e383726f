#pragma once
// The register listing (summary or complete) and the address labels of the
// chosen taxpayers, in one of seven orders and with status, tax and birth
// month filters.
#include <string>
#include <vector>

namespace qv::printing {

struct ListingFilter {
    int first_status = 1, last_status = 99;
    int tax = 1;                  // SEPIMP: 1 all, 2 exempt, 3 refunds, 4 tax to pay
    int first_month = 0, last_month = 0;   // birth months; 0 any
};
bool listed(const ListingFilter& f, int status, double tax_result, int birth_month);

// Order 4-6: the sort value of a row (birth month, tax result, charge);
// rows are taken in ascending value, negative values first.
std::vector<std::size_t> ascending(const std::vector<double>& keys);

struct Address {
    std::string name, street_type, street, number, complement, district, town, state, cep;
};
// The lines of an address label.
std::vector<std::string> address_label(const Address& a);

// Sheet of document 12: false when the user cancels.
bool IMPR_CAD();
void CABEC_CAD(int mode);
void CAD_SIMPL();
void CAD_COMPL();
void CAD_ETI(int kind);

}  // namespace qv::printing
