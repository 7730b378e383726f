#include "transfer/transfer_flow.hpp"

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <vector>

#include "common/avisosn.hpp"
#include "common/file_errors.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/declaration_hooks.hpp"
#include "transfer/declaration_recalc.hpp"
#include "transfer/index_text.hpp"
#include "transfer/rural_results.hpp"
#include "transfer/shared_file.hpp"
#include "transfer/xml_frame.hpp"
#include "transfer/xml_values.hpp"

namespace qv::transfer {
namespace {

using rt::operator""_cp;

constexpr int kRegisterTable = 9;
constexpr int kProgressWindow = 3;
constexpr int kProgressRow = 5;
constexpr int kProgressWidth = 73;
constexpr int kFirstMenuCall = 62;   // OPCAO_1 above this: called from a menu

// The declaration's copy and the index are written aside and renamed but not
// forced to the disk: a killed process still leaves the old file or the new
// one whole, as with the tables, and after a power cut both are made again
// from the client's tables (the declaration by sending it again, the index
// by its recovery). Forcing them cost more than the rest of a transfer.
constexpr Sync kSharedFileSync = Sync::Cached;

std::string text_of(std::string_view name) { return rt::ALLTRIM(common::Global(name).text()); }

std::string os_name(const std::string& cp850_name) { return common::fs_path(cp850_name).string(); }

std::string formatted_cpf() { return cpf_text(text_of("CPF")); }

bool batch_run() {
    const int option = common::Global("OPCAO_1").integer(0);
    return option == 64 || option == 65;
}

// The texts of a transfer, kept from one declaration to the next. A walk
// over a folder reads and rewrites an index of hundreds of kilobytes for
// each declaration; buffers that big taken afresh each time are handed
// back to the system when freed and come again as new pages, which cost
// as much as the rest of the transfer.
struct TransferTexts {
    std::string copy;        // the declaration's file, as copied into its folder
    std::string old_index;   // the index as read
    std::string new_index;   // the index as rewritten
};

TransferTexts& kept_texts() {
    static TransferTexts texts;
    return texts;
}

void recording_problem() { common::AVISOSN("Problemas na gravação da Declaração."_cp); }

bool make_taxpayer_folder() {
    std::error_code ec;
    const auto folder = common::fs_path(taxpayer_folder_name());
    if (std::filesystem::is_directory(folder, ec)) return true;
    if (std::filesystem::create_directories(folder, ec)) return true;
    common::AVISOSN(std::vector<std::string>{"Problemas ao criar a pasta indicada abaixo.  Confira se o "_cp,
                                             "programa da Receita foi instalado nesse micro e nessa pasta"_cp,
                                             " Vá no menu Env. Receita e corrija esse endereço.          "_cp,
                                             taxpayer_folder_name()});
    return false;
}

// Asks a question of the guard; true to go on.
bool user_goes_on(const std::vector<std::string>& lines) { return common::AVISOSN(lines, 1).as_number() == 1; }

bool guards_pass() {
    if (common::Global("SALDO").number(0) < 0) {
        common::BEEP_ERRO();
        if (!user_goes_on({"ATENÇÃO! Essa declaração NÃO DEVE ser transferida "_cp,
                           "nessas condições. Ela está com PROBLEMAS de CAIXA."_cp,
                           "            Continua assim mesmo ?            "_cp}))
            return false;
    }
    if (!text_of("RECIBOATU").empty() &&
        !user_goes_on({"ATENÇÃO! Essa declaração já foi entregue na receita.  "_cp,
                       "Se transferir novamente pode alterar dados já enviados"_cp,
                       "             Continua assim mesmo ?                "_cp}))
        return false;
    return true;
}

// The register's status of the taxpayer becomes the "transferred" one.
void mark_as_sent() {
    if (common::Global("ENV_STAT").integer(0) != 1) return;
    if (!tables::ABERTURA(kRegisterTable)) return;
    auto& ws = tables::ws();
    ws.select(kRegisterTable);
    rt::table::Table* reg = ws.table(kRegisterTable);
    if (reg == nullptr) return;
    reg->set_order(1);
    if (!reg->seek(rt::Value(common::Global("CPF").text()))) return;
    if (!tables::REC_LOCK(5)) return;
    reg->put("ESTATUS", rt::Value(common::Global("OPC_TRAN").number(0)));
    reg->commit();
    reg->unlock();
}

void report(TransferOutcome outcome) {
    switch (outcome) {
        case TransferOutcome::NotGenerated:
            common::AVISOSN("Os dados não foram transferidos para o programa da receita!"_cp);
            break;
        case TransferOutcome::NotPlaced:
            common::AVISOSN("A declaração NÃO foi transferida para o programa da receita!"_cp);
            break;
        case TransferOutcome::Sent:
            if (batch_run())
                common::MENS(0, "Declaração de "_cp + text_of("NOMECONTR") + " transferida !");
            else
                common::AVISOSN("A declaração foi transferida para o programa da receita!"_cp);
            break;
    }
}

}  // namespace

std::string tax_program_folder() {
    const std::string folder = text_of("LOCIRPF");
    // A folder of the older Windows version ("C:\\..."): no folder here.
    const bool windows = (folder.size() >= 2 && folder[1] == ':') || folder.find('\\') != std::string::npos;
    return windows || folder.empty() ? std::string() : common::BAR_DIR(folder);
}

std::string taxpayer_folder_name() { return tax_program_folder() + text_of("CPF") + "/"; }

std::string taxpayer_file_name() { return taxpayer_folder_name() + text_of("CPF") + ".XML"; }

std::string index_file_name() { return tax_program_folder() + std::string(kIndexName); }

bool DISQUETE() {
    if (!make_taxpayer_folder()) return false;
    // On the box's progress line, over what the load or the save left there;
    // the taxpayer's own rows stay as they are.
    common::ESCRLCOL(kProgressWindow, kProgressRow, 2, rt::PADR("Pasta " + tax_program_folder(), kProgressWidth));
    int error = 0;
    std::string& text = kept_texts().copy;
    if (!read_whole_file(os_name(work_file_name()), text, &error)) {
        common::VEJAERRO(common::dos_error_code(error), work_file_name());
        return false;
    }
    error = replace_file(os_name(taxpayer_file_name()), text, kSharedFileSync);
    if (error == ENOSPC || error == EIO || error == EDQUOT) {
        recording_problem();
        return false;
    }
    if (error != 0) {
        common::VEJAERRO(common::dos_error_code(error), taxpayer_file_name());
        return false;
    }
    return true;
}

namespace {

// Every figure computed again, whether the declaration was opened or not;
// false, with its reason shown, for one that cannot be computed (it is not
// sent).
bool computed_again() {
    const std::string problem = recalculate_declaration();
    if (problem.empty()) return true;
    forget_rural_results();
    common::AVISOSN(std::vector<std::string>{"Não foi possível calcular a declaração:"_cp, problem});
    return false;
}

// The file of a declaration just computed, placed with its index item.
TransferOutcome generate_and_place() {
    const Moment moment = generation_moment();
    const std::string stamp = moment.stamp();
    const bool written = write_declaration(work_file_name(), moment);
    forget_rural_results();
    if (!written) return TransferOutcome::NotGenerated;

    // The taxpayer's folder also makes the tax program's folder when the
    // program has not made it yet.
    if (!make_taxpayer_folder()) return TransferOutcome::NotPlaced;
    const std::string index = os_name(index_file_name());
    std::error_code ec;
    const bool index_existed = std::filesystem::exists(index, ec);
    int error = 0;
    auto held = wait_and_hold(index, true, error);
    common::MENS();
    if (!held) {
        common::VEJAERRO(common::dos_error_code(error), index_file_name());
        common::AVISOSN("ATENÇAO! Registro não disponível. Dado não será gravado."_cp);
        return TransferOutcome::NotGenerated;
    }
    TransferTexts& texts = kept_texts();
    if (!held->read_content(texts.old_index)) {
        common::AVISOSN("Erro de leitura");
        return TransferOutcome::NotGenerated;
    }
    updated_index(texts.new_index, texts.old_index, formatted_cpf(), identifier_item(moment),
                  tax_program_namespace(), stamp);

    // The index names only declarations that stand in their folder; an
    // index made for this transfer goes again when nothing was placed.
    const bool placed = DISQUETE();
    if (placed && held->replace(texts.new_index, kSharedFileSync) == 0) return TransferOutcome::Sent;
    if (placed) recording_problem();
    if (!index_existed && texts.old_index.empty()) std::filesystem::remove(index, ec);
    return TransferOutcome::NotPlaced;
}

}  // namespace

TransferOutcome transfer_declaration() {
    return computed_again() ? generate_and_place() : TransferOutcome::NotGenerated;
}

bool GERAR() { return transfer_declaration() == TransferOutcome::Sent; }

bool PREPARA() {
    if (tax_program_folder().empty()) {
        if (common::Global("OPCAO_1").integer(0) > kFirstMenuCall)
            common::AVISOSN("Preencha em Env Receita o Local onde está o programa da receita"_cp);
        return true;
    }
    // The guards look at the declaration as it goes out: a walk loads
    // declarations that were never computed (an import writes the tables).
    if (!computed_again()) {
        report(TransferOutcome::NotGenerated);
        common::FECHAJAN(kProgressWindow);
        return true;
    }
    if (!guards_pass()) {
        forget_rural_results();
        // A walk names at its end the declarations the clerk kept back.
        if (common::notices_kept()) common::keep_notice("A declaração NÃO foi transferida para o programa da receita!"_cp);
        return false;
    }
    const TransferOutcome outcome = generate_and_place();
    report(outcome);
    if (outcome == TransferOutcome::Sent) mark_as_sent();
    common::FECHAJAN(kProgressWindow);
    return true;
}

}  // namespace qv::transfer
