#pragma once
// The help texts shipped with the program: the list "ajuda.csv" (topic,
// text) of the data folder becomes the table HELPTXT with its memo file
// HELPTXT.DBT in the program folder.
#include <string>

#include "runtime/table/table.hpp"
#include "tables/schemas.hpp"

namespace qv::tables {

// The layout of HELPTXT: the topic `NOME` (10) and the memo `TEXTO`.
Structure help_text_schema();
// Appends one record per topic of the list in `data_folder` to `t` (text
// as CP850, topics in capitals). Nothing when the list is missing.
void fill_help_texts(rt::table::Table& t, const std::string& data_folder);

}  // namespace qv::tables
