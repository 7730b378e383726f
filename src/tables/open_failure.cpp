#include "tables/open_failure.hpp"

#include <unistd.h>

#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;

OpenFailure& record() {
    static OpenFailure last;
    return last;
}

}  // namespace

const OpenFailure& last_open_failure() { return record(); }

void clear_open_failure() { record() = {}; }

void note_open_failure(OpenFault fault, std::string_view file) { record() = {fault, std::string(file)}; }

bool failed_in_use() { return record().fault == OpenFault::InUse; }

std::string open_failure_text() {
    const std::string& file = record().file;
    switch (record().fault) {
    case OpenFault::None: return {};
    case OpenFault::InUse: return "Arquivo "_cp + file + " sendo usado por outro terminal"_cp;
    case OpenFault::Damaged: return "Arquivo "_cp + file + " danificado: não pode ser lido"_cp;
    case OpenFault::NotWritable: return "Arquivo "_cp + file + " sem permissão de gravação"_cp;
    case OpenFault::NotCreated: return "Arquivo "_cp + file + " não pôde ser criado"_cp;
    }
    return {};
}

}  // namespace qv::tables
