#pragma once
// The end of a print run on the "NAO DOS" printer type: the text file is
// tidied and handed to the outside print program, and may be mailed to the
// taxpayer.
namespace qv::printing {

// Mode 1 from the print front end (and the cash book and payment slips),
// mode 2 from the main menu's reprint item.
void IMP_TXT(int mode);

// The arguments of the print program for the terminal's preview and
// printer-choice settings.
const char* print_program_options(bool preview, bool choose);

}  // namespace qv::printing
