#pragma once
// The writers of the sections this folder keeps, and what they share for
// reading the declaration's work copies.
#include <functional>
#include <string>
#include <string_view>
#include "runtime/core/date.hpp"
#include "runtime/table/table.hpp"
#include "transfer/xml_frame.hpp"

namespace qv::transfer {

// Work areas of the declaration's work copies.
inline constexpr int kDeclarationArea = 21;
inline constexpr int kSourcesArea = 22;
inline constexpr int kPeopleArea = 23;
inline constexpr int kAssetsArea = 24;
inline constexpr int kDebtsArea = 25;
inline constexpr int kPaymentsArea = 26;
inline constexpr int kMonthlyArea = 32;
inline constexpr int kOtherIncomeArea = 34;
inline constexpr int kHeirSharesArea = 40;

// Row readers: a missing field gives 0, "" or the empty date.
double field_amount(rt::table::Table& t, std::string_view field);
std::string field_text(rt::table::Table& t, std::string_view field);
rt::Date field_date(rt::table::Table& t, std::string_view field);
// The kind of an income source row (I1_1): "J", "D", "P" or "A".
std::string source_kind(rt::table::Table& t);
// Every record of a work area, from the top (none when the area is empty).
void each_row(int area, const std::function<void(rt::table::Table&)>& visit);
// True when two index key expressions are the same, case and blanks aside.
bool same_order_key(std::string_view a, std::string_view b);
// The records of `area` that `belongs` accepts, in the active order. When
// that order's key is `order_key` they are found by a seek on `seek_key`
// and read while they belong; otherwise every record is looked at. The
// area keeps its record.
void each_row_of(int area, std::string_view order_key, const std::string& seek_key,
                 const std::function<bool(rt::table::Table&)>& belongs,
                 const std::function<void(rt::table::Table&)>& visit);

// A global of the declaration as text: numbers without decimals, dates
// "dd/mm/yyyy"; "" when missing.
std::string global_text(std::string_view name);

// Section writers, by section.
void write_contribuinte(Generation& g);
void write_conjuge(Generation& g);
void write_rend_pj(Generation& g);
void write_rend_pj_exigibilidade(Generation& g);
void write_rend_pf_titular(Generation& g);
void write_rend_pf_dependente(Generation& g);
void write_rend_acm(Generation& g);
void write_rend_isentos(Generation& g);
void write_rend_exclusiva(Generation& g);
void write_imposto_pago(Generation& g);
void write_dependentes(Generation& g);
void write_alimentandos(Generation& g);
void write_herdeiros(Generation& g);
void write_pagamentos(Generation& g);
void write_bens(Generation& g);
void write_dividas(Generation& g);
void write_espolio(Generation& g);
void write_resumo(Generation& g);
void write_comparativo(Generation& g);
void write_doacoes(Generation& g);
void write_saida(Generation& g);

}  // namespace qv::transfer
