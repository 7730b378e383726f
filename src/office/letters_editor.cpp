#include "office/letters_editor.hpp"

#include <mutex>
#include <span>

#include "declaration/loop/key_bindings.hpp"
#include "office/letter_merge.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::office {

namespace {

constexpr int kTextTop = 1, kTextBottom = 23, kStatusRow = 24;
constexpr std::string_view kColours = "W+/B,B/W,B";

void status_line(const LetterDoc& doc) {
    const rt::Attr a = rt::colour_slot(1);
    rt::at_say(kStatusRow, 0, rt::SPACE(80), a);
    rt::at_say(kStatusRow, 1, rt::LEFT("Arquivo: " + doc.name, 30), a);
    rt::at_say(kStatusRow, 32, "Linha: " + rt::STR(doc.row, 6) + "  Coluna: " + rt::STR(doc.col, 4), a);
    rt::at_say(kStatusRow, 69, " F10 Menu ", a);
}

void remember_position(const rt::MemoEditor& ed, LetterDoc& doc) {
    doc.cursor = ed.cursor();
    doc.first_line = static_cast<std::size_t>(ed.top_line() - 1);
    doc.row = ed.line();
    doc.col = ed.column();
    doc.window_row = ed.window_row();
    doc.window_col = ed.window_col();
    doc.insert = ed.insert_mode();
    if (ed.changed()) doc.modified = true;
}

// The command a key of the hook leaves for the menu; empty for other keys.
std::string_view menu_command(int key) {
    if (key == rt::key::F10) return "Menu";
    if (key == rt::key::alt_letter('A')) return "MenuA";
    if (key == rt::key::alt_letter('E')) return "MenuE";
    if (key == rt::key::alt_letter('I')) return "MenuI";
    if (key == rt::key::alt_letter('H')) return "MenuH";
    // Esc keeps the text and asks about leaving instead of dropping the
    // pass's typing.
    if (key == rt::key::ESC) return "Sair";
    return {};
}

// One pass of the text editor over the document.
void edit_pass(LetterDoc& doc) {
    rt::MemoEditOptions opt;
    opt.line_length = doc.format.width;
    opt.tab_size = doc.tab_size;
    opt.cursor = doc.cursor;
    opt.first_line = doc.first_line;
    opt.insert = doc.insert;
    opt.colour = std::string(kColours);
    opt.user_function = [&doc](rt::MemoEvent e, int key, rt::MemoEditor& ed) { return UFUNC(e, key, ed, doc); };
    rt::MemoEditor ed(doc.text, kTextTop, 0, kTextBottom, 79, opt);
    const std::string text = ed.run();
    if (ed.saved()) doc.text = text;
    remember_position(ed, doc);
}

}  // namespace

rt::MemoReply UFUNC(rt::MemoEvent event, int key, rt::MemoEditor& ed, LetterDoc& doc) {
    remember_position(ed, doc);
    switch (event) {
        case rt::MemoEvent::Init:
            rt::SETCURSOR(doc.insert ? 2 : 1);
            return rt::MemoReply::Default;
        case rt::MemoEvent::Idle:
            status_line(doc);
            return rt::MemoReply::Default;
        case rt::MemoEvent::Key:
            break;
    }
    doc.last_key = key;
    const std::string_view command = menu_command(key);
    if (command.empty()) return rt::MemoReply::Default;
    doc.command = std::string(command);
    return rt::MemoReply::Keep;
}

void EDITEXT(std::string_view name) {
    declaration::KeyBindings unbound;
    for (int k : {rt::key::F1, rt::key::ALT_A, rt::key::F10}) unbound.bind(k, {});
    const std::string colours = rt::SETCOLOR(kColours);
    const std::string screen = rt::SAVESCREEN();
    const int cursor = rt::SETCURSOR();
    LetterDoc doc = ABRTXT(name);
    rt::CLS();
    paint_editor_bar();
    while (doc.command != "Sair") {
        doc.command = std::string(kNoCommand);
        edit_pass(doc);
        if (doc.command != kNoCommand) MENUED(doc);
        if (doc.command == "Salvar") EDITWRITE(doc);
    }
    rt::SETCURSOR(cursor);
    rt::RESTSCREEN(screen);
    rt::SETCOLOR(colours);
}

void register_letter_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        auto text = [](Args a) { return !a.empty() && a[0].is_string() ? a[0].as_string() : std::string(); };
        rt::register_function("EDITEXT", [text](Args a) {
            EDITEXT(text(a));
            return rt::Value();
        });
        rt::register_function("IMPR_MAIL", [text](Args a) {
            IMPR_MAIL(text(a));
            return rt::Value();
        });
        rt::register_function("IMPR_EDT", [text](Args a) {
            IMPR_EDT(text(a));
            return rt::Value();
        });
        rt::register_function("ESCOL_CART", [](Args a) {
            return rt::Value(ESCOL_CART(!a.empty() && a[0].is_logical() && a[0].as_bool()));
        });
    });
}

}  // namespace qv::office
