#pragma once
// The start of a new filing year from last year's edition (and from the
// cash-book program, which shares the driver): the chosen taxpayers' tables
// of last year carried into this year's.
#include <string>
#include <string_view>
#include <vector>

#include "converter/last_year_sources.hpp"

namespace qv::converter {

// Sold assets (or paid debts) of last year: 1 not carried, 2 carried.
inline constexpr int kDropSold = 1;
inline constexpr int kCarrySold = 2;
// The sources of menu ids 1 and 2.
inline constexpr int kLastYear = 1;
inline constexpr int kCashBook = 2;

// The driver of menu ids 1 (last year's edition) and 2 (cash-book program).
void CONVIRHELP(int id);
// One taxpayer, whose register row of the source is current in its area
// (id: kLastYear or kCashBook), written whole or not at all: false when
// this year's tables could not be taken for the writing or a value of last
// year could not be carried, with the reason in `report`.
bool CONV_HELPIR(SourceTables& src, const std::string& cpf, int sold, int id = kLastYear,
                 std::vector<std::string>* report = nullptr);
// A taxpayer already present: the dates of last year's sales of kind 1
// fill the register's empty ULTRESI / ULTIMOV; the register becomes NOVO.
void BUSCA_DATAVEN(SourceTables& src, const std::string& cpf);
// CONV_HELPIR for the cash-book program's tables (locked by the caller).
bool cash_book_taxpayer(SourceTables& src, const std::string& cpf);
// The cash book's rural activity of the taxpayer, when it has properties.
void CONV_IRM_WZK(SourceTables& src, const std::string& cpf);
// The taxpayer's register marked as having rural activity in Brazil.
void mark_rural_register(const std::string& cpf);
// Last year's rural tables of the taxpayer (register TEMRURAL "S").
void CONV_HELPAR(SourceTables& src, const std::string& cpf);
// False when the dependant in CODIDEPEN, DATADEPEN, NOMEDEPEN must be dropped.
bool VE_IDADE();
// The installation folder's auxiliary lists, into empty AUXBENS / AUXPAG.
void CONVAUX();

// Parts of CONV_HELPIR.
void carry_register(SourceTables& src, const std::string& cpf, int source = kLastYear);
void carry_declaration_record(SourceTables& src, const std::string& cpf);
void carry_rows(SourceTables& src, const std::string& cpf);      // 02, 03, 06, 14, 10
void carry_dependants(SourceTables& src, const std::string& cpf);
void carry_savings(SourceTables& src, const std::string& cpf);
void carry_blocks(SourceTables& src, const std::string& cpf, int table, int sold);   // 04, 05
void join_asset_continuations(const std::string& cpf);
// Sales still to receive; returns how many were carried.
int carry_gains(SourceTables& src, const std::string& cpf);
void carry_notes(SourceTables& src, const std::string& cpf, int sales_carried);
// A note cut at blanks into rows of the note field's width.
std::vector<std::string> note_rows(const std::string& text, int width);

}  // namespace qv::converter
