#pragma once
// Checks the income grid runs on the exempt columns of retirement income.
namespace qv::declaration {

// Exempt part of retirement income from 65 years: returns the value to
// store (the excess over the year's limit may go to the taxable income).
double LIMIT3(double nValue, int nMode);
// Income exempt for serious illness or retirement.
double LIMIT2(double nValue);

// Exempt limit of a taxpayer born in `birth`: the months from the 65th
// birthday (the 13th salary counting as a month) or the whole year.
double retirement_exempt_limit(int birth_year, int birth_month);

}  // namespace qv::declaration
