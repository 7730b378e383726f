#pragma once
// Printing a text file of the program on any printer of the system: the
// file (CP850, CR LF line ends, form feeds, perhaps the control sequences of
// the printer type it was made for) is turned into plain UTF-8 text and
// handed to the system's print command with a pitch that fits its lines.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::rt::os {

struct TextJob {
    std::string file;    // the print file
    int columns = 80;    // the narrowest page the job asks for
    std::string queue;   // empty: the system's default printer
};

// The job a command line asks for: the file, the width ("80" or "132"),
// the preview and printer-choice words ("pre", "sel", "pre/sel", which mean
// nothing here and are ignored) and "-d QUEUE". Nothing, and `error` set,
// when the line cannot be understood.
std::optional<TextJob> parse_text_job(const std::vector<std::string>& args, std::string& error);

// The text as a text filter reads it: CP850 becomes UTF-8, carriage returns
// go, and printer control bytes and escape sequences are left out; line
// ends, form feeds and tabs stay.
std::string printable_text(std::string_view cp850);
// Characters in the longest line of UTF-8 text (a tab counts to the next
// multiple of 8).
int widest_line(std::string_view utf8);
// Characters per inch that put `columns` on a line of an 8-inch page.
int pitch_for(int columns);

// The print command for the prepared text file.
std::vector<std::string> lp_command(const TextJob& job, const std::string& text_file, int columns,
                                    const std::string& title);

}  // namespace qv::rt::os
