#pragma once
// Where a print run goes and how it is paused: opening the terminal's print
// target, the ready check of a port, the abandon test between documents.
#include <string>

namespace qv::printing {

enum class Device { Screen, Printer };
// SET DEVICE: where the documents' output goes now.
void set_device(Device d);
Device device();

// The target the terminal's settings name: a file of the work folder, a
// printer queue, or "LPTn"/"COMn" (CP850, as ARQ_IMP keeps it).
std::string print_target_name();

// Opens the print target; true when the output now goes to it.
bool PREP_IMP();
// Ready check of a parallel port (a serial port is taken as ready).
bool PRONTO();
// Esc pressed during a run asks whether to abandon it; returns CAN_IMP.
bool PAREIMP();
// Pause for aligning the paper of pre-printed forms while FEZ_TES is "S".
void AJUS_FIN();
// Writes control string STRING<n> where the print head stands.
void MUDAIMP(int n);

}  // namespace qv::printing
