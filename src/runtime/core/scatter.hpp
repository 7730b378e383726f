#pragma once
// Copying a record into variables of the same names and back, as the record
// editors do: scatter before editing, gather to save.
//
// The FieldResolver cannot list a table's fields, so the table layer installs
// a RecordAccess as well (the same object may implement both).
#include <string>
#include "runtime/core/varstore.hpp"

namespace qv::rt {

class RecordAccess {
public:
    virtual ~RecordAccess() = default;
    // Fields of the table open in `area`; 0 when the area is empty.
    virtual int field_count(int area) const = 0;
    // Upper-case name of the 0-based field `index`.
    virtual std::string field_name(int area, int index) const = 0;
};

RecordAccess* record_access();
void set_record_access(RecordAccess* r);

// Every field of the current record of `area` (0 = the selected area) into
// the variable of the same name, declared with `lifetime`. Returns the count
// of fields copied (0 with no table or no RecordAccess installed).
int scatter(int area, Lifetime lifetime, VarStore& store = variables());
// Every field of `area` whose variable exists takes the variable's value.
// Returns the count of fields written.
int gather(int area, VarStore& store = variables());

}  // namespace qv::rt
