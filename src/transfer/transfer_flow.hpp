#pragma once
// Sending the open declaration to the tax program: the XML file made in the
// terminal's work folder, its copy into the taxpayer's folder of the tax
// program, and the taxpayer's item in the program's declaration index.
#include <string>

namespace qv::transfer {

// How far a transfer came.
enum class TransferOutcome { Sent, NotGenerated, NotPlaced };

// The tax program's folder LOCIRPF with its "/"; empty when none is set
// (a Windows folder kept by an older version counts as none).
std::string tax_program_folder();
// The tax program's names (the work file's is the frame's work_file_name).
std::string taxpayer_folder_name();   // <LOCIRPF><CPF>/
std::string taxpayer_file_name();     // <LOCIRPF><CPF>/<CPF>.XML
std::string index_file_name();        // <LOCIRPF>iddeclaracoes.xml

// Generates the work file, waits for the index, runs the copy and, only
// when the copy succeeded, rewrites the index with this taxpayer's item.
TransferOutcome transfer_declaration();

bool GERAR();
bool DISQUETE();
bool PREPARA();

}  // namespace qv::transfer
