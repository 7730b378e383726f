#pragma once
// The terminal's work copies of the declaration tables. A declaration is
// edited in copies private to the terminal (TMP_<nn><terminal> in the work
// folder, open exclusively in work area nn + 20); the shared tables of the
// client folder are held only while one of them is copied or rewritten.
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::declaration {

constexpr int kRegisterTable = 9;
constexpr int kDeclarationTable = 1;
constexpr int kEntriesTable = 13;   // the entries routine copies it itself
constexpr int kHeirsTable = 20;

// The register's fields that are the office's and not the declaration's:
// the mark of the office's lists and the list's place. Other terminals
// change them while a declaration is open, and its save leaves them be.
inline constexpr std::string_view kOfficeRegisterFields[] = {"IMPRE", "ORDEM"};

constexpr int work_area(int table) { return table + 20; }
// Rural tables: their rows belong to one rural activity (ATV_BRASIL).
constexpr bool by_activity(int table) { return table >= 15 && table <= 19; }

// The work folder, with its separator.
std::string work_folder();
// "<work folder>TMP_<nn><terminal>", without extension (the folder given
// or the work folder).
std::string work_file(int table);
std::string work_file(std::string_view folder, int table);
// The key of the work copy's index in work area `area`.
std::string_view work_index_key(int area);

// Opens the work copy of `table` exclusively in its area and builds its
// index anew. False when the copy cannot be opened.
bool open_work_copy(int table);

// A declaration table that cannot be had: damaged, in a folder that may not
// be written, or another terminal held it and the user gave up waiting.
// what() is the system's message naming the file, empty when the user gave
// up (nothing more to say).
struct TableUnavailable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Opens declaration table `table` in its own area (exclusive or shared),
// showing `message` and trying again while another terminal holds it. Any
// other failure is no reason to wait: it throws TableUnavailable at once.
void open_waiting(int table, bool exclusive, std::string_view message);
// What is done between tries: by default the message in a box that goes by
// itself once the table can be had (Enter tries again at once, Esc gives
// up). Tests replace it; an empty function puts it back.
void set_exclusive_wait(std::function<void(std::string_view message)> wait);

// The taxpayer's key in a table: CPF, and the activity for rural tables.
std::string taxpayer_key(int table, std::string_view cpf, std::string_view activity);
// Test of a raw record of the table open in `area`: true when it belongs
// to that taxpayer (CPF, and for rural tables the activity).
std::function<bool(std::string_view)> taxpayer_rows(int area, int table, std::string_view cpf,
                                                    std::string_view activity);

// Copies the rows of the table open in area `area` that follow its current
// record and carry `key` into a new table `file` (the work file of `table`
// when empty).
long copy_taxpayer_rows(int area, int table, const std::string& key, const std::string& file = {});

}  // namespace qv::declaration
