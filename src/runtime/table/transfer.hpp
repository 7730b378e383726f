#pragma once
// COPY TO and APPEND FROM, between tables (fields matched by name) and to or
// from delimited text (one record a line: fields separated by commas,
// character fields in double quotes and trimmed on the right, dates as
// yyyymmdd, logicals T/F, numbers trimmed, CR LF line ends).
//
// Records are those navigation shows: with SET DELETED ON deleted records
// are left out; with it OFF they are copied and stay deleted in the target.
// FOR and WHILE are evaluated with the source table's area selected.
#include <string>
#include <vector>
#include "runtime/table/table.hpp"

namespace qv::rt::table {

class Workspace;

struct TransferOptions {
    std::vector<std::string> fields;   // COPY TO ... FIELDS; empty = all
    Condition for_cond;
    Condition while_cond;              // implies REST
    bool rest = false;                 // start at the current record
    long next = 0;                     // NEXT n records (0 = no limit)
};

// COPY TO <file>: a new table of the source's structure (or the chosen
// fields). Returns the number of records copied.
long copy_to(Workspace& ws, Table& src, const std::string& file, const TransferOptions& opt = {});
// COPY TO <file> DELIMITED (".txt" added when the name has no extension).
long copy_to_delimited(Workspace& ws, Table& src, const std::string& file, const TransferOptions& opt = {});
// APPEND FROM <file>: appends the source table's records, fields by name.
long append_from(Workspace& ws, Table& dst, const std::string& file, const TransferOptions& opt = {});
// APPEND FROM <file> DELIMITED: values in field order (FOR/WHILE unused).
long append_from_delimited(Workspace& ws, Table& dst, const std::string& file, const TransferOptions& opt = {});

// One record as a delimited line (without the line end).
std::string delimited_line(Table& t, const std::vector<int>& fields);

}  // namespace qv::rt::table
