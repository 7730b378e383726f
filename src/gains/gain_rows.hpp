#pragma once
// The gain being edited travels between the declaration's variables (copies
// of its table 27 row) and the arithmetic of gain_chain; its parcels are the
// table 28 rows of its number.
#include <cstdint>
#include <string>
#include <vector>

#include "gains/gain_chain.hpp"
#include "runtime/table/table.hpp"

namespace qv::gains {

inline constexpr int kGainsArea = 27;
inline constexpr int kParcelsArea = 28;

// A row of a table shared with other terminals is written under its lock.
class RowWrite {
public:
    explicit RowWrite(rt::table::Table& t) : t_(t) {
        locked_ = !t.exclusive() && !t.file_locked() && !t.is_locked() && t.rlock();
    }
    ~RowWrite() {
        if (locked_) t_.unlock();
    }
    RowWrite(const RowWrite&) = delete;
    RowWrite& operator=(const RowWrite&) = delete;

private:
    rt::table::Table& t_;
    bool locked_ = false;
};

// Records of the parcels of gain `number` in parcel order (deleted ones too).
std::vector<std::uint32_t> parcel_records(rt::table::Table& t, int number);

// A date variable; the empty date when it holds none.
rt::Date date_variable(const char* name);
// The name of a month field: prefix + 01..12.
std::string month_field(const char* prefix, int month);

Gain gain_from_variables();
void gain_to_variables(const Gain& g);

// The parcels of gain `number` in parcel order; none when area 28 is empty.
std::vector<Parcel> read_parcels(int number);
// Writes the figures back into the same rows, appending rows the
// arithmetic added (a single acquisition's one row).
void write_parcels(int number, const std::vector<Parcel>& parcels);

}  // namespace qv::gains
