#pragma once
// The one rule for the names and the place of the office's letters,
// wherever a letter is written, listed, printed or mailed: a letter is a
// text file of the current data folder, its name written in lower case with
// ".txt" when typed without an extension, and found whatever the case of
// the file on disk. Earlier versions kept the letters in the program
// folder: a letter found only there is still read (and saved into the data
// folder), and offered in the list. The bank's remittance files, which the
// program folder also holds, and the files the printing leaves are never
// letters.
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

// The first two characters of a letter's page-format header, "▓│" (CP850).
inline constexpr std::string_view kLetterHeaderOpen = "\xB2\xB3";

// The file name of a letter as typed: a name without an extension gets
// ".txt", an empty one is "SemNome.txt"; lower case, without any folder.
std::string letter_file_name(std::string_view name);
// The letter to read: the data folder's file of that name in any letter
// case, else the program folder's letter kept from earlier versions, else
// the name in the data folder as the rule writes it.
std::string letter_path(std::string_view name);
// Where a letter is saved: always the data folder.
std::string letter_save_path(std::string_view name);
bool letter_exists(std::string_view name);
// The letters to choose from, sorted: the data folder's "*.txt" and the
// letters kept in the program folder (files the letters editor wrote: with
// the page-format header or a merge field), one entry a name.
std::vector<std::string> letter_names();
// "C" + YYMMDD + a letter + ".txt": a remittance file for the bank.
bool remittance_file_name(std::string_view file_name);
// A text file the printing leaves in a work folder, which is often the data
// folder: the print program's file, the report file, this terminal's output
// file, a taxpayer's copy (the CPF's eleven digits) and a queue job kept
// when the queue refused it.
bool print_file_name(std::string_view file_name);

}  // namespace qv::common
