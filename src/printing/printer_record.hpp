#pragma once
// Each terminal's printer record: its printer type, port or file, and the
// control sequences compiled into STRING0..STRING4.
namespace qv::printing {

inline constexpr int kPrinterArea = 57;
inline constexpr int kPrinterTypesArea = 41;

// Creates the terminal's record when missing (with the defaults of a new
// terminal), compiles its sequences, and leaves the record current.
void CRIA_SEQ();

// CRIA_SEQ with the default printer's name asked of the spooler always, or
// only when the terminal's record is made (the start-up, which then takes
// the stored name).
enum class DefaultPrinter { Always, ForNewRecord };
void prepare_printer_record(DefaultPrinter ask);

}  // namespace qv::printing
