#pragma once
// Folder and file names. The system runs on Linux: folder names are absolute
// with a trailing "/". Names stored the Windows way (settings records, old
// data: "C:\QV2011\", "A:") are converted when they are used:
//   - backslashes become "/";
//   - a drive letter "X:" becomes the drive's root folder: the environment
//     variable QV_DRIVE_X when set (e.g. QV_DRIVE_C=/srv/escritorio), else
//     "/" for drive C and "/mnt/x/" (lower case) for any other drive, unless
//     the program set another root with set_drive_root();
//   - when the name does not exist as written but exists with other upper
//     and lower case letters (Windows names ignore case), the existing
//     spelling is taken, folder by folder.
// Names inside the program are CP850 text; fs_path() gives the name the
// file system knows (UTF-8).
#include <filesystem>
#include <string>
#include <string_view>

namespace qv::common {

std::string to_local_path(std::string_view name);
std::filesystem::path fs_path(std::string_view cp850_name);

// The root folder a drive letter stands for ("/" at the end).
std::string drive_root(char letter);
void set_drive_root(char letter, std::string root);   // empty root: back to the default

// With a trailing "/" (an empty name stays empty: the current folder).
std::string BAR_DIR(std::string_view path);
// Without a trailing "/" (the root "/" stays as it is).
std::string BAR_FORA(std::string_view path);
// The part after the last "/": the file or last folder name.
std::string TIRA_DIR(std::string_view path);
// True when the folder exists.
bool VERDIR(std::string_view folder);
// True when the folder exists and a file can be made in it (a folder of a
// read-only mount or without the right to write is not).
bool folder_writable(std::string_view folder);
// VERDIR, and when the folder is missing a status-line message; false.
bool CONFER_DIR(std::string_view folder);
// The message refusing a folder name longer than the field that keeps it
// (a name stored cut is another folder); empty when it fits.
std::string folder_length_refusal(std::string_view folder, std::size_t limit);
// The widest a folder may be typed in a folder field: more than any field
// keeps, so that a name too long is seen whole and refused, never cut.
inline constexpr int kFolderEntryWidth = 254;

// True when the name says where it lies: an absolute Linux name or a
// Windows drive ("X:"); otherwise an alert and false.
bool ESPCIF(std::string_view path);

}  // namespace qv::common
