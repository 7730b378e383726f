#pragma once
// Printer control sequences as the office types them: "<018>" for a byte by
// its decimal code, "<ESC>" for byte 27, "<###>" marking a laser printer,
// everything else as itself.
#include <string>
#include <string_view>

namespace qv::printing {

// The bytes of one sequence, trimmed. `laser` receives the position (1-based,
// in the text as it stood when reached) of a "<###>", and is left alone
// when there is none.
std::string MONTASTRG(std::string_view text, int& laser);
// As above, keeping the laser position in TEM_LASER.
std::string MONTASTRG(std::string_view text);

struct CompiledSequences {
    std::string normal, condensed, third, wide_on, wide_off;   // STRING0..STRING4
};
// The set of a printer record: SEQ3 holds "on//off" for wide print.
CompiledSequences compile_sequences(std::string_view seq0, std::string_view seq1, std::string_view seq2,
                                    std::string_view seq3);

}  // namespace qv::printing
