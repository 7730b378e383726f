#pragma once
// The printer as an output device: documents place text by row and column,
// and the device turns that into line ends, blanks and form feeds written to
// a file, a port (a device file) or a printer queue. A queue is written to a
// spool file first and handed to the system's print command when closed, so
// that a run abandoned half way prints nothing. What reaches a queue is
// printer-ready (the printer type's control sequences, form feeds), so it
// goes as a raw job; a job the queue refuses leaves its spool file behind.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace qv::rt::os {

class PrintDevice {
public:
    PrintDevice();
    ~PrintDevice();
    PrintDevice(const PrintDevice&) = delete;
    PrintDevice& operator=(const PrintDevice&) = delete;

    // "LPTn" and "COMn" are ports, opened only when their device exists; a
    // name holding "/" is a file (written from its start); anything else is
    // a printer queue, spooled in `spool_folder` (the system's temporary
    // folder when empty). False when it cannot be opened. The position
    // starts at row 0, column 0.
    bool open(std::string_view target, std::string_view spool_folder = {});
    // Ends the run: a queue's spool file goes to the printer now. False
    // when the output could not be written or the queue refused the job;
    // then failure() says why.
    bool close();
    bool is_open() const { return file_ != nullptr; }
    const std::string& target() const { return target_; }

    struct Failure {
        std::string queue;     // the queue that refused the job
        std::string reason;    // the print command's own words
        std::string kept;      // the spool file, kept for another try
        bool no_command = false;   // the print command is not installed
    };
    // The failure of the last close (empty queue and reason when it went well).
    const Failure& failure() const { return failure_; }

    // Text at a row and column: a row above the current one ends the page
    // first; moving down writes line ends, moving right writes blanks.
    void say(int row, int col, std::string_view text);
    // Bytes written where the head stands, the position unchanged (control
    // sequences of the printer).
    void write_raw(std::string_view bytes);
    // Ends the page; the position goes back to row 0, column 0.
    void eject();
    // The printer's normal and condensed pitch sequences: a line with text
    // beyond `columns` is printed condensed, and so is what follows until
    // the normal sequence is written. Empty sequences (the default after
    // open) switch nothing.
    void set_pitches(std::string normal, std::string condensed, int columns);
    int row() const { return row_; }
    int col() const { return col_; }
    void set_position(int row, int col) { row_ = row, col_ = col; }

private:
    void put(std::string_view bytes);
    void emit(std::string_view bytes);
    void end_line();
    bool switching() const;
    std::string target_;
    std::string queue_;      // printer name when the target is a queue
    std::string spool_;      // the spool file of a queue
    std::FILE* file_ = nullptr;
    Failure failure_;
    std::string normal_, condensed_;   // pitch sequences
    int columns_ = 0;                  // what the normal pitch holds
    bool condensed_on_ = false;
    std::string line_;                 // the line being composed
    int line_width_ = 0;               // its last column with text
    int row_ = 0;
    int col_ = 0;
};

// The program's printer.
PrintDevice& printer();

// The device file of a port: "LPT1" -> /dev/lp0, "COM1" -> /dev/ttyS0; empty
// for any other name. Tests point ports at a folder of their own.
std::string port_device(std::string_view target);
void set_port_folder(std::string folder);   // empty: the real devices

// The system's default printer queue; empty when there is none.
std::string default_printer();

}  // namespace qv::rt::os
