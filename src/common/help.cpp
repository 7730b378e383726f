#include "common/help.hpp"

#include <array>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/option_bar.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/memoedit.hpp"
#include "runtime/ui/read.hpp"

namespace qv::common {

using rt::operator""_cp;

namespace {

const Global kLtoHelp{"LTOHELP"};
const Global kArqDef{"ARQDEF"};
const Global kRotaDef{"ROTADEF"};
const Global kCorTel1{"COR_TEL1"};
const Global kCorTel2{"COR_TEL2"};
const Global kCor2Cli{"COR_2_CLI"};
const Global kTela{"TELA"};
const Global kOpcoes{"OPCOES"};
const Global kPosver{"POSVER"};

constexpr int kHelpWindow = 8, kChoiceWindow = 6;
constexpr int kKeyWidth = 10, kMemoCountWidth = 52, kMaxLines = 13;
constexpr int kDefaultTel1 = 30, kDefaultTel2 = 31;

std::string program_folder() {
    std::string folder = rt::ALLTRIM(kArqDef.text());
    if (folder.empty()) folder = rt::ALLTRIM(kRotaDef.text());
    return folder.empty() ? std::string() : BAR_DIR(folder);
}

std::string field_being_edited() {
    std::string name = rt::READVAR();
    if (rt::UPPER(rt::LEFT(name, 3)) == "M->") name = name.substr(3);
    return name;
}

void topic_not_found() { AVISOSN("Sem ajuda para este tópico"_cp, 0); }

// The help table open in its work area for one look-up; the area selected
// before comes back afterwards.
class HelpTable {
public:
    HelpTable() : saved_area_(rt::table::workspace().selected()) {}
    ~HelpTable() {
        auto& ws = rt::table::workspace();
        if (open_) ws.close(kHelpArea);
        ws.select(saved_area_);
    }
    HelpTable(const HelpTable&) = delete;
    HelpTable& operator=(const HelpTable&) = delete;

    bool open() {
        const std::string folder = program_folder();
        const std::string dbf = rt::table::resolve_path(folder + "HELPTXT.DBF");
        const std::string dbt = rt::table::resolve_path(folder + "HELPTXT.DBT");
        if (!rt::table::file_exists(dbf) || !rt::table::file_exists(dbt)) return false;
        try {
            rt::table::OpenOptions opt;
            opt.alias = "HELPTXT";
            table_ = &rt::table::workspace().use_in(kHelpArea, dbf, opt);
            open_ = true;
        } catch (const std::exception&) {
            return false;   // a help that cannot be read is no help
        }
        return true;
    }

    // The memo of the key (upper case, padded to the key width).
    std::optional<std::string> find(const std::string& key) {
        bool found = false;
        if (table_->order_count() > 0) {
            table_->set_order(1);
            found = table_->seek(rt::Value(key));
        } else {
            found = table_->locate([this, &key] {
                return rt::PADR(rt::UPPER(table_->get("NOME").as_string()), kKeyWidth) == key;
            });
        }
        if (!found) return std::nullopt;
        return table_->get("TEXTO").as_string();
    }

private:
    int saved_area_;
    bool open_ = false;
    rt::table::Table* table_ = nullptr;
};

// LTOHELP is true while a help is on screen.
class HelpShown {
public:
    HelpShown() { kLtoHelp.set(rt::Value(true)); }
    ~HelpShown() { kLtoHelp.set(rt::Value(false)); }
    HelpShown(const HelpShown&) = delete;
    HelpShown& operator=(const HelpShown&) = delete;
};

void show_memo(const std::string& text) {
    int lines = rt::memo_line_count(text, kMemoCountWidth);
    if (lines > kMaxLines || lines < 1) lines = kMaxLines;
    REDEFJAN(kHelpWindow, kCorTel1.integer(kDefaultTel1), kCorTel2.integer(kDefaultTel2),
             kCorTel2.integer(kDefaultTel2), 1, 0, lines + 2, 64, 2);
    ABREJAN(kHelpWindow);
    const std::string title = " A J U D A ";
    const std::string hint = " Alt+P imprime o texto ";
    ESCRLCOL(kHelpWindow, 1, 1 + (65 - static_cast<int>(title.size())) / 2, title);
    ESCRLCOL(kHelpWindow, lines + 2, 1 + (65 - static_cast<int>(hint.size())) / 2, hint);

    rt::MemoEditOptions opt;
    opt.edit = false;
    opt.colour = kCor2Cli.text("W+/B");
    // Printing the help is offered but there is nothing to print it with:
    // the key is taken and the text stays on screen.
    opt.other_key = [](int) { return false; };
    rt::MEMOEDIT(text, 2, 1, lines + 1, 63, opt);
    FECHAJAN(kHelpWindow);
}

}  // namespace

void TXT_HELP(std::string_view given_key, int /*mode*/) {
    if (kLtoHelp.value().as_bool()) return;
    HelpTable table;
    if (!table.open()) return;

    std::string key = rt::UPPER(rt::ALLTRIM(given_key));
    if (key.empty()) key = rt::UPPER(field_being_edited());
    if (key.empty()) {
        topic_not_found();
        return;
    }
    const auto text = table.find(rt::PADR(key, kKeyWidth));
    if (!text) {
        topic_not_found();
        return;
    }
    HelpShown shown;
    show_memo(*text);
}

std::string help_key(int choice) {
    switch (choice) {
    case 1: return "GERAL";
    case 2: return "TELA" + rt::STRZERO(kTela.number(), 2);
    case 3: return field_being_edited();
    case 4: return "FUNCOES";
    default: return {};
    }
}

namespace {

int choose_topic() {
    static const std::array<std::string, 4> items{" Geral      ", " Tela       ", " Campo      ", " Funções    "_cp};
    constexpr int top = 4, left = 51, width = 12;
    REDEFJAN(kChoiceWindow, kCorTel1.integer(kDefaultTel1), kCorTel2.integer(kDefaultTel2),
             kCorTel2.integer(kDefaultTel2), top, left, top + 5, left + width + 1, 1);
    ABREJAN(kChoiceWindow);
    std::string text;
    for (const auto& item : items) text += item;
    ESCRJAN(kChoiceWindow, text);
    const rt::Value letters = kOpcoes.value(), position = kPosver.value();
    kOpcoes.set(rt::Value("GTCF"));
    kPosver.set(rt::Value(1));
    const int chosen = ESC_OPCAO(kChoiceWindow, 4, 1, width, 0, 1, 0);
    kOpcoes.set(letters);
    kPosver.set(position);
    return chosen;
}

}  // namespace

void MOSTRA_HELP(int choice, int mode) {
    if (choice == 0) choice = choose_topic();
    if (choice < 1 || choice > 4) return;
    TXT_HELP(help_key(choice), mode);
}

void MOS_HELP() { MOSTRA_HELP(3, 1); }

}  // namespace qv::common
