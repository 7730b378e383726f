#pragma once
// The printer as an output device: documents place text by row and column,
// and the device turns that into line ends, blanks and form feeds written to
// a file, a port (a device file) or a printer queue. A queue is written to a
// spool file first and handed to the system's print command when closed, so
// that a run abandoned half way prints nothing.
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

    // "LPTn" and "COMn" are ports; a name holding "/" is a file (written from
    // its start); anything else is a printer queue. False when it cannot be
    // opened. The position starts at row 0, column 0.
    bool open(std::string_view target);
    // Ends the run: a queue's spool file goes to the printer now.
    bool close();
    bool is_open() const { return file_ != nullptr; }
    const std::string& target() const { return target_; }

    // Text at a row and column: a row above the current one ends the page
    // first; moving down writes line ends, moving right writes blanks.
    void say(int row, int col, std::string_view text);
    // Bytes written where the head stands, the position unchanged (control
    // sequences of the printer).
    void write_raw(std::string_view bytes);
    // Ends the page; the position goes back to row 0, column 0.
    void eject();
    int row() const { return row_; }
    int col() const { return col_; }
    void set_position(int row, int col) { row_ = row, col_ = col; }

private:
    void put(std::string_view bytes);
    std::string target_;
    std::string queue_;      // printer name when the target is a queue
    std::string spool_;      // the spool file of a queue
    std::FILE* file_ = nullptr;
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
