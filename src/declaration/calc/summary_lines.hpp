#pragma once
// The lines of the declaration summary, one function each: every function
// assigns its line (I13_nn) from the lines before it and returns it.
namespace qv::declaration {

double FI13_08();
double FI13_11();
double FI13_12();
double FI13_13();
double FI13_19();
bool FI13_20(int nShow);
double FI13_22();
double FI13_23();
double FI13_24();
double FI13_26();
bool FI13_32(double nValue);
double FI13_35(int nShow);
double FI13_3526(int nShow);
double FI13_46();
double FINFO_CONJ();
bool SOMA_TRIBENAO(int nShow);

// The standard discount: 20 % of the taxable income, at most NDESCPRAD.
double standard_discount();
bool simplified_model();   // USAPADRAO "S"
// DESPADRAO as the model takes it: the standard discount in the simplified
// model, none in the complete one (as the tax page leaves it once shown).
void set_model_discount();

// Incentive deductions allowed on a tax: codes 40-44 up to 6 %, code 39 up
// to 3 % within what is left of the 6 %; never more than the tax.
struct Incentives {
    double general;   // codes 40-44
    double culture;   // code 39
    double total(double tax) const;
};
Incentives incentives_allowed(double tax);
// Line 26 as the chain gives it for a tax of the base: less incentives and
// the domestic employee's social security, plus the cumulative-income tax.
double total_tax_due(double tax);

}  // namespace qv::declaration
