#pragma once
// The DBF layout (dBase III / FoxPro 2): a 32-byte header, 32-byte field
// descriptors ended by 0x0D (and one 0x00), fixed-length records that start
// with the deleted flag (' ' or '*'), and a 0x1A after the last record.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/core/value.hpp"

namespace qv::rt::table {

// One field of a structure as DBCREATE takes it.
struct FieldSpec {
    std::string name;
    char type = 'C';   // C N D L M
    int len = 0;
    int dec = 0;
};
using Structure = std::vector<FieldSpec>;

struct Field {
    std::string name;   // upper case as stored
    char type = 'C';
    int len = 0;
    int dec = 0;
    int offset = 0;     // within the record, after the deleted flag
};

enum class MemoKind { None, Fpt, Dbt };

inline constexpr unsigned char kVersionPlain = 0x03;
inline constexpr unsigned char kVersionFpt = 0xF5;
inline constexpr unsigned char kVersionDbt = 0x83;
inline constexpr char kEndOfFile = 0x1A;
inline constexpr int kMaxCharWidth = 512;

struct DbfHeader {
    unsigned char version = kVersionPlain;
    int year = 0, month = 0, day = 0;   // last update
    std::uint32_t reccount = 0;
    std::uint16_t header_len = 0;
    std::uint16_t record_len = 0;
    unsigned char flags = 0;            // byte 28: 0x01 structural CDX
    unsigned char codepage = 0;         // byte 29
    std::vector<Field> fields;
};

// Checks a structure (names, types, widths); throws TableError naming `file`.
void validate_structure(const Structure& s, const std::string& file);
// The header of a new table of that structure (record count 0).
DbfHeader make_header(const Structure& s, MemoKind memo, int year, int month, int day);
// Header and descriptors as bytes, ending with 0x0D 0x00.
std::string serialise_header(const DbfHeader& h);
// The fixed 32 bytes only (version, date, count, lengths, flags).
std::string serialise_fixed_header(const DbfHeader& h);
// Parses the fixed 32 bytes; throws TableError on nonsense.
DbfHeader parse_fixed_header(std::string_view bytes32, const std::string& file);
// Parses the descriptors that follow (bytes = the whole header_len bytes).
void parse_fields(DbfHeader& h, std::string_view header_bytes, const std::string& file);

MemoKind memo_kind_of_version(unsigned char version);
bool has_memo_fields(const DbfHeader& h);

// Field codec. Values read: C raw bytes (trailing blanks kept), N number
// (blank = 0), D date (blank or bad = empty), L (T/t/Y/y = true, else false).
Value decode_field(const Field& f, std::string_view raw);
// Writes `v` into the field bytes; throws TableError on a type mismatch and
// DataWidthError, writing nothing, when a number does not fit the field.
void encode_field(const Field& f, const Value& v, char* out, const std::string& file);
// N field text: right-aligned, `dec` decimals, rounding half away from zero,
// asterisks when it does not fit.
std::string data_width_message(const Field& f, double v, const std::string& file);
// Throws DataWidthError when `v` is a number that does not fit N field `f`.
void check_width(const Field& f, const Value& v, const std::string& file);
std::string format_number(double v, int len, int dec);
double parse_number(std::string_view raw);

}  // namespace qv::rt::table
