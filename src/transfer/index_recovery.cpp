#include "transfer/index_recovery.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "common/avisosn.hpp"
#include "common/file_errors.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "tables/folder_search.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "transfer/declaration_hooks.hpp"
#include "transfer/index_text.hpp"
#include "transfer/shared_file.hpp"
#include "transfer/transfer_flow.hpp"
#include "transfer/xml_values.hpp"

namespace qv::transfer {
namespace {

namespace fs = std::filesystem;
using rt::operator""_cp;

constexpr std::string_view kCopyOpen = "<copiaIdentificador";
constexpr std::string_view kItemOpen = "<item";

bool eleven_digits(const std::string& name) {
    return name.size() == 11 && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The register fields the identifier is made of, from the taxpayer's row.
bool identifier_from_register(const std::string& cpf) {
    return tables::with_taxpayer(cpf, [](rt::table::Table& reg) {
        for (const char* field : {"RETIFICA", "NOVOEND", "NOMECONTR", "NRORECIBO", "RECIBOANT", "USAPADRAO"})
            common::Global(field).set(reg.get(field));
    });
}

// The item of one CPF folder; empty when it gives none.
std::string recovered_item(const std::string& root, const std::string& cpf, const Moment& moment) {
    const std::string file = declaration_in(root + cpf, cpf);
    if (file.empty()) {
        std::error_code ec;
        fs::remove(fs::path(root) / cpf, ec);   // only an empty folder goes
        return {};
    }
    auto text = read_whole_file(file);
    if (!text) {
        common::MENS(0, "Erro de leitura ");
        return {};
    }
    common::Global("CPF").set(rt::Value(cpf));
    common::MENS(0, "Recuperando o CPF " + cpf_text(cpf));
    std::string item = item_from_declaration(*text);
    if (!item.empty()) return item;

    if (!identifier_from_register(cpf)) {
        common::AVISOSN(std::vector<std::string>{
            "O contribuinte não foi localizado em nenhum dos diretórios indicado."_cp,
            "Impossivel recuperar o CPF " + cpf});
        return {};
    }
    common::Global("DECFINAL").set(rt::Value("N"));
    item = identifier_item(moment);
    const std::string repaired = with_identifier(*text, item);
    if (repaired.size() != text->size()) replace_file(file, repaired);
    return item;
}

}  // namespace

std::vector<std::string> cpf_folders(const std::string& os_folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(os_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (eleven_digits(name) && it->is_directory(ec)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string declaration_in(const std::string& os_folder, const std::string& cpf) {
    const std::string wanted = cpf + ".XML";
    std::error_code ec;
    for (fs::directory_iterator it(os_folder, ec), end; !ec && it != end; it.increment(ec))
        if (upper(it->path().filename().string()) == wanted && it->is_regular_file(ec)) return it->path().string();
    return {};
}

std::string with_identifier(std::string_view declaration, std::string_view item) {
    const std::size_t close = declaration.rfind(kClassClose);
    if (close == std::string_view::npos || item.substr(0, kItemOpen.size()) != kItemOpen) return std::string(declaration);
    std::string out(declaration.substr(0, close));
    out += kCopyOpen;
    out += item.substr(kItemOpen.size());
    out += kClassClose;
    return out;
}

void RECUP_INDICE() {
    if (common::AVISOSN(std::vector<std::string>{"Essa opcao deve ser usada para recuperar a lista dos CPFs",
                                                 "perdidas no programa da Receita. Continua?"},
                        2)
            .as_string() != "S")
        return;
    const std::string folder = tax_program_folder();
    const std::string root = folder.empty() ? folder : common::fs_path(folder).string();
    const std::string root_slash = root.empty() || root.back() == '/' ? root : root + "/";
    const std::vector<std::string> folders = folder.empty() ? std::vector<std::string>{} : cpf_folders(root_slash);
    if (folders.empty()) {
        common::AVISOSN("Nao existem arquivos para serem recuperados! A Pasta esta correta?");
        return;
    }
    const Moment moment = generation_moment();
    std::string index = rebuilt_index_root(tax_program_namespace());
    for (const auto& cpf : folders) index += recovered_item(root_slash, cpf, moment);
    index += kClassClose;
    common::MENS();

    int error = 0;
    auto held = wait_and_hold(root_slash + std::string(kIndexName), true, error);
    if (!held) {
        common::VEJAERRO(common::dos_error_code(error), index_file_name());
        return;
    }
    if (held->replace(index) != 0) common::AVISOSN("Problemas na gravação da Declaração."_cp);
}

}  // namespace qv::transfer
