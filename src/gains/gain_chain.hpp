#pragma once
// The figures of one capital gain: its cost, result, reductions, taxable
// gain and tax, from the gain's own values and its parcels or share
// movements. Pure arithmetic; the routines in gain_routines copy the
// declaration's variables and table rows in and out.
#include <array>
#include <string>
#include <vector>

#include "runtime/core/date.hpp"

namespace qv::gains {

enum Kind { RealEstate = 1, Movables = 2, Participations = 3, VariableIncome = 4 };
enum Operation { Balance = 1, Acquisition = 2, Sale = 3 };

// One row of the gain's parcels (or share movements), field names alongside.
struct Parcel {
    rt::Date date;               // DATA_CUST
    double value = 0;            // VALOR_CUST
    bool deleted = false;
    int per_red = 0;             // PER_RED
    double per_cust = 0;         // PER_CUST
    double fr1 = 0, fr2 = 0;     // PER_RED1, PER_RED2
    double reduction = 0;        // VALOR_REDU
    double gross = 0;            // CUST_UNI
    double fr1_value = 0;        // RESUL_2
    double fr2_value = 0;        // RESUL_3
    int operation = 0;           // TIPO_OPER
    double quantity = 0;         // MOV_ACAO
    double running_quantity = 0; // SALDO_ACAO
    double running_cost = 0;     // CMED_COEF
    double average_cost = 0;     // CM_PONDER
};

// The gain being edited.
struct Gain {
    int kind = RealEstate;          // TIPO_BEM
    int participation = 0;          // TIPOPART: 1 shares, 2 quotas, 3 real-estate fund
    std::string nature;             // NATUOPER
    rt::Date acquired, sold;        // DATA_ADQ, DATA_ALI
    double sale = 0;                // VAL_ALI
    double typed_cost = 0;          // VALOR_CUST
    bool in_parcels = false;        // PARCOMPRA
    bool instalments = false;       // VEN_PRAZO
    bool earlier_sale = false;      // VENDAANT
    bool exempt = false;            // PEQ_VALOR
    double per_tri = 0;             // PER_TRI
    double reinvested_percent = 0;  // PERART31
    double withheld = 0;            // VAL_PARTE (shares: tax withheld at source)
    double received = 0;            // VAL_RECOL
    double fr1 = 0, fr2 = 0;        // FR1, FR2
    std::array<double, 12> tax_due{};  // IMP_DEV01..IMP_DEV12
    double earlier_value = 0, deferred_value = 0;  // VAL_ANTE, VAL_DIFE
    double earlier_tax = 0, deferred_tax = 0;      // IMP_ANTE, IMP_DIFE

    double cost = 0;                // CUS_ATUAL
    double result_i = 0;            // RESUL_I
    double reduction = 0;           // REDUCAO
    double fator1 = 0, fator2 = 0;  // FATOR1, FATOR2
    double reinvestment = 0;        // reduction by reinvestment in a home
    double taxable = 0;             // GAN_TRIV
    double exempt_part = 0;         // VAL_NAOTRI
    double tax_cash = 0;            // VAL_IMPOSV
    double tax_instalments = 0;     // VAL_IMPOSP
};

// What a parcel check found, for the messages of the entry screen.
struct ParcelNotes {
    bool dated_before_acquisition = false;
    bool dated_after_sale = false;
};

// The reduction percentage of a parcel: none for an earlier-year sale or a
// parcel dated before the acquisition (which the notes report).
int FPER_RED(const Gain& g, rt::Date parcel_date, ParcelNotes& notes);

// Per-parcel figures after any change of a parcel, movement, sale date or
// kind: reduction percentage and factors, cost shares, average share cost.
ParcelNotes FCALGAN(Gain& g, std::vector<Parcel>& parcels);

// The whole chain: cost, result I, reductions, taxable gain and tax.
void compute_gain(Gain& g, std::vector<Parcel>& parcels);

// The deferral values of the gain and what the screen shows of them.
struct Deferral {
    double cash_tax_shown = 0;   // tax of a cash sale, less what was withheld
    double to_receive = 0;
    double tax_deferred = 0;
};
Deferral SOMADIFE(Gain& g);

// True when the nature is an exchange with a cash payment.
bool is_exchange_with_payment(const std::string& nature);

}  // namespace qv::gains
