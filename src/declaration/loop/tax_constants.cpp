#include "declaration/loop/tax_constants.hpp"

#include <initializer_list>
#include <string_view>

#include "declaration/calc/due_dates.hpp"
#include "runtime/core/clock.hpp"

namespace qv::declaration {

namespace {

struct Constant {
    std::string_view name;
    double value;
};

struct Pair {
    std::string_view name;
    double first_quarter;   // January-March
    double rest_of_year;    // April-December
};

// Annual progressive table: upper bounds of the bands and their deductions.
constexpr Constant kAnnual[] = {
    {"NBASEAN1", 18799.32}, {"NBASEAN2", 28174.20}, {"NBASEAN3", 37566.12}, {"NBASEAN4", 46939.56},
    {"NDEDUAN1", 1409.95},  {"NDEDUAN2", 3523.01},  {"NDEDUAN3", 6340.47},  {"NDEDUAN4", 8687.45},
};

constexpr Constant kLimits[] = {
    {"NVALDEPANO", 1889.64}, {"NVALESCOL", 2958.23}, {"NVALAPOSA", 20163.55},
    {"NDESCPRAD", 13916.36}, {"NMAXINSS", 866.60},
};

constexpr Pair kMonthly[] = {
    {"NBASEME1", 1499.15, 1566.61}, {"NBASEME2", 2246.75, 2347.85}, {"NBASEME3", 2995.70, 3130.51},
    {"NBASEME4", 3743.19, 3911.63}, {"NDEDUME1", 112.43, 117.49},   {"NDEDUME2", 280.94, 293.58},
    {"NDEDUME3", 505.62, 528.37},   {"NDEDUME4", 692.78, 723.95},   {"NVALDEPEN", 150.69, 157.47},
    {"NVALAPOSE", 1499.15, 1566.61},
};

// Reais per US dollar, January to December 2011.
constexpr double kDollar[12] = {1.6734, 1.6612, 1.6287, 1.5733, 1.5799, 1.5611,
                                1.5563, 1.5872, 1.8544, 1.6885, 1.8109, 1.8758};

rt::Value number_array(std::initializer_list<double> values) {
    rt::Value a = rt::Value::array();
    for (double v : values) a.as_array()->push_back(rt::Value(v));
    return a;
}

}  // namespace

void set_tax_constants(rt::VarStore& vars) {
    for (const auto& c : kAnnual) vars.declare_declaration(c.name, rt::Value(c.value));
    for (const auto& c : kLimits) vars.declare_declaration(c.name, rt::Value(c.value));
    for (const auto& p : kMonthly) vars.declare_declaration(p.name, number_array({p.first_quarter, p.rest_of_year}));
    rt::Value dollar = rt::Value::array();
    for (double rate : kDollar) dollar.as_array()->push_back(rt::Value(rate));
    vars.declare_declaration("TAB_DOLAR", dollar);
    vars.declare_declaration("PIC_USU", rt::Value("@Ez 99,999,999,999.9999"));
    // The calculation's payment date: the last working day of this month.
    const rt::Date today = rt::DATE();
    vars.declare_declaration("DF_PAGTO", rt::Value(ULT_DIA(today.month(), today.year(), 1)));
}

int month_pair_index(int month) { return month <= 3 ? 1 : 2; }

}  // namespace qv::declaration
