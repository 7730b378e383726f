#pragma once
// Where a print run goes and how it is paused: opening the terminal's print
// target, the ready check of a port, the abandon test between documents.
#include <string>
#include <string_view>

namespace qv::printing {

enum class Device { Screen, Printer };
// SET DEVICE: where the documents' output goes now.
void set_device(Device d);
Device device();

// The text file of the "NAO DOS" printer type, in the work folder.
inline constexpr const char* kNaoDosFile = "NAO-DOS.TXT";
// The columns a line holds at normal pitch.
inline constexpr int kNormalColumns = 80;

// The target the terminal's settings name: a file of the work folder, a
// printer queue, or "LPTn"/"COMn" (CP850, as ARQ_IMP keeps it).
std::string print_target_name();
// An output file name names a file of the work folder: no folder in it.
bool valid_output_file_name(std::string_view name);

// Opens the print target; true when the output now goes to it.
bool PREP_IMP();
// Ends the job on the print target; a failure (the queue refused the job,
// the file could not be written) is told to the clerk, with where the
// text was kept. True when the job went out.
bool close_print_target();
// Ready check of a parallel port (a serial port is taken as ready).
bool PRONTO();
// Esc pressed during a run asks whether to abandon it; returns CAN_IMP.
bool PAREIMP();
// Pause for aligning the paper of pre-printed forms while FEZ_TES is "S".
void AJUS_FIN();
// Writes control string STRING<n> where the print head stands.
void MUDAIMP(int n);

}  // namespace qv::printing
