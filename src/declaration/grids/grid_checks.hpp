#pragma once
// The checks the grid cells run on a typed value, and the small calculators
// the grids run: code look-ups, countries, dependants' ages and numbers, the
// folder list, the rural codes and results, the cumulative-income tax, the
// savings income carried into the declaration, the asset upkeep list, the
// property form of an asset and the heirs' shares.
//
// A check answers true/false (false keeps the entry open) or the value to
// keep instead of the typed one.
#include "runtime/core/date.hpp"
#include "runtime/core/value.hpp"

namespace qv::declaration::grids {

// Code look-ups and countries.
rt::Value TES_COD(const rt::Value& code, int grid);
rt::Value TES_PAIS(const rt::Value& value, int mode);

// Dependants and payments.
bool TES_MES(rt::Date birth);
void VEJA_ANO(rt::Date birth, int limit_year);
bool CONF_DEP(int number, int phase);
// The CPF of a dependant or an alimony recipient is no other person's of
// the list: false (after a notice) when another row already holds it.
bool cpf_free_in_dependants(const rt::Value& cpf);
bool TROCA_NAO(const rt::Value& value);

// Rural properties and assets.
int VAL_COD(int value, int column);
bool VAL_PART(double participation);
double CALUCRO(double value, int column);
void SOMAREC(int mode);
int TES_SIT(int situation, int grid);
void MARCA_NEG();

// Cumulative income received in 2011 for earlier years.
bool VERAA(const rt::Value& answer, int mode);
bool CALC_RAA(int mode, int check, rt::Date received);

// Calculators.
bool FCALPOUPA(int mode);
void BUSCA_DESP();

// Estate declarations: the property form of an asset and the heirs' shares.
void VEJA_IMOV();
bool ANEXHER(const rt::Value& answer, int asset, int mode);
bool VE_REGIS(const rt::Value& answer);
bool VERUNI(const rt::Value& answer, int mode);

void register_grid_check_routines();

}  // namespace qv::declaration::grids
