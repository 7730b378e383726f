#pragma once
// The figures of one capital gain as the declaration file writes them,
// worked out from its table 27 row and its table 28 parcels.
#include <string>

#include "runtime/core/date.hpp"
#include "runtime/table/table.hpp"

namespace qv::transfer {

struct GainFigures {
    double gain = 0;           // resultado1
    double exchange_cost = 0;  // custoPermuta
    double result1 = 0;        // result I, before reductions
    double reduction = 0;      // by percentage, summed over the parcels
    double fr1 = 0, fr2 = 0;   // by the two factors, summed over the parcels
    double result2 = 0, result3 = 0, result4 = 0, result5 = 0;
    double cost = 0;
    double reinvested = 0;     // reduction by reinvestment
    double received = 0, taxable = 0, due = 0, paid = 0, withheld = 0;
    double due_of_year = 0;
    int last_month = 0;        // last month with a receipt; 0 for none
};

// What a gain's figures are made of.
struct GainRow {
    int kind = 0;   // TIPO_BEM
    int number = 0;
    double sale = 0, cost = 0;       // VAL_ALI, CUS_ATUAL
    double earlier_sale = 0;         // VAL_ANTE
    double to_receive = 0;           // VAL_DIFE
    double cash_tax = 0, instalment_tax = 0, reinvested_or_withheld = 0;   // VAL_IMPOSV, VAL_IMPOSP, VAL_PARTE
    double reinvested_percent = 0;   // PERART31
    bool sold_before = false;        // VENDAANT
    bool instalments = false;        // VEN_PRAZO
    std::string nature;              // NATUOPER
    double month_received[12]{}, month_taxable[12]{}, month_due[12]{}, month_paid[12]{}, month_withheld[12]{};
};

GainRow gain_row(rt::table::Table& gains);
// `parcels`: the sums of the gain's parcel rows (reduction, FR1, FR2).
GainFigures gain_figures(const GainRow& row, double reduction, double fr1, double fr2);

// The date of the last receipt: the 28th of the last month with a receipt,
// else of the sale's month (never month 00).
std::string last_receipt_date(int last_month, rt::Date sale);

}  // namespace qv::transfer
