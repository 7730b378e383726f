#include "console/edit_control.hpp"

#include <algorithm>
#include <array>
#include <cctype>

#include "console/dialog.hpp"
#include "console/dialog_layout.hpp"
#include "console/values.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::console {

namespace {

struct FocusColours {
    bool on = false;
    bool fixed = true;
    long text = 0;
    long back = 13434879;   // red 255, green 255, blue 204: light yellow
};

FocusColours& focus_colours() {
    static FocusColours c;
    return c;
}

constexpr rt::Attr kField = 0xF0;        // N/W*: a white field on the grey face
constexpr rt::Attr kReadOnly = 0x70;

// The screen's 16 colours as 0xBBGGRR, in attribute order.
constexpr std::array<long, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

int whole(double v) { return static_cast<int>(v); }

bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

int nearest_screen_colour(long rgb) {
    auto part = [](long c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    // A tinted colour is matched among the tinted ones: light yellow must
    // not turn into the white of the fields around it.
    const bool tinted = part(rgb, 0) != part(rgb, 8) || part(rgb, 8) != part(rgb, 16);
    auto neutral = [](int i) { return i == 0 || i == 7 || i == 8 || i == 15; };
    int best = 0;
    long best_distance = -1;
    for (int i = 0; i < 16; ++i) {
        if (tinted && neutral(i)) continue;
        long d = 0;
        for (int shift : {0, 8, 16}) {
            const long diff = part(rgb, shift) - part(kPalette[static_cast<std::size_t>(i)], shift);
            d += diff * diff;
        }
        if (best_distance < 0 || d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

bool SETCOLORINFOCUS(std::optional<bool> on, std::optional<long> text_colour, std::optional<long> back_colour,
                     std::optional<bool> fixed) {
    FocusColours& c = focus_colours();
    if (on) c.on = *on;
    if (c.on) {
        if (text_colour) c.text = *text_colour;
        if (back_colour) c.back = *back_colour;
        if (fixed) c.fixed = *fixed;
    }
    return c.on;
}

rt::Attr focus_attr() {
    const FocusColours& c = focus_colours();
    return static_cast<rt::Attr>((nearest_screen_colour(c.back) << 4) | nearest_screen_colour(c.text));
}

bool ISCTRLSHIFT(bool, bool) { return false; }

// ---- construction ----

HEdit& HEdit::New(HCustomWindow* parent, std::optional<int> id, const rt::Value& xValue, SetGet setget,
                  Placement at, EditOptions o) {
    auto e = std::make_unique<HEdit>();
    if (!parent) parent = HWGETLAST();
    const int length = static_cast<int>(LENU(xValue, o.cPicture));
    double left = at.left.value_or(0), top = at.top.value_or(0), width = 0, height = 0;
    CellRect cells;
    if (!parent || parent->lPixel) {
        const PixelSize size = _FONTRECT(VALUES(xValue, o.cPicture));
        width = at.width.value_or(size.width + 8);
        height = at.height.value_or(size.height + 4);
        if (parent) {
            HCOL(whole(left + width), parent);
            HROW(whole(top), parent);
            HROWH(whole(top + height), parent);
        }
        cells = cells_of_pixels(whole(left), whole(top), whole(width), whole(height));
    } else {
        height = at.height.value_or(1);
        width = at.width.value_or(length);
        HCOL(whole(left + width + 1), parent);
        HROW(whole(top), parent);
        HROWH(whole(top + height), parent);
        cells = {whole(top), whole(left), std::max(1, whole(width)), std::max(1, whole(height))};
        top = HGETTOP(top);
        left = HGETLEFT(left);
        width = HGETWIDTH(width);
        height = HGETHEIGHT(height);
    }
    long long style = o.style | ws::TABSTOP;
    if (!o.lNoBorder) style |= ws::BORDER;
    if (o.lPassword) style |= ws::ES_PASSWORD;
    e->place(parent, id, 0, whole(left), whole(top), whole(width), whole(height));
    e->style |= style;
    e->cType = rt::type_letter(xValue.type());
    e->bSetGet = std::move(setget);
    e->lPassword = o.lPassword;
    if (!e->bSetGet) e->own_value_ = xValue;
    if (o.style & ws::ES_MULTILINE) {
        e->style |= ws::ES_WANTRETURN;
        e->lMultiLine = true;
    } else {
        cells.height = 1;
    }
    e->cell = cells;
    e->nMaxLength = o.nMaxLength.value_or(length);
    std::string picture = o.cPicture;
    if (e->cType == 'N' && picture.empty() && o.nMaxLength) picture = std::string(static_cast<std::size_t>(*o.nMaxLength), '9');
    e->ParsePict(picture, xValue);
    e->when_ = std::move(o.bGetFocus);
    e->valid_ = std::move(o.bLostFocus);
    e->change_ = std::move(o.bChange);
    HEdit& ref = *e;
    if (parent) parent->AddControl(std::move(e));
    ref.Init();
    ref.Refresh();
    return ref;
}

void HEdit::ParsePict(const std::string& picture, const rt::Value& value) {
    cPicFunc.clear();
    cPicMask = picture;
    if (!picture.empty() && picture[0] == '@') {
        const auto blank = picture.find(' ');
        cPicFunc = rt::UPPER(picture.substr(0, blank));
        cPicMask = blank == std::string::npos ? std::string() : picture.substr(blank + 1);
        if (cPicFunc == "@") cPicFunc.clear();
    }
    if (cPicMask.empty()) {
        if (value.type() == rt::Type::Date) {
            cPicMask = "99/99/9999";
        } else if (value.type() == rt::Type::Number) {
            cPicMask = rt::default_number_mask(value.as_number());
        }
    }
    lPicComplex = std::any_of(cPicMask.begin(), cPicMask.end(),
                              [](char c) { return std::string_view("!ANX9#").find(c) == std::string_view::npos; });
}

// ---- value ----

rt::Value HEdit::VarGet() const { return bSetGet ? bSetGet(std::nullopt) : own_value_; }

void HEdit::VarPut(const rt::Value& v) {
    if (bSetGet) bSetGet(v);
    else own_value_ = v;
}

std::string HEdit::display_text() const {
    const rt::Value v = VarGet();
    if (!cPicFunc.empty() || !cPicMask.empty()) return rt::TRANSFORM(v, cPicFunc.empty() ? cPicMask : cPicFunc + " " + cPicMask);
    // A text of several lines is laid out by its author: its blanks stay.
    if (lMultiLine) return rt::RTRIM(VALUES(v));
    return rt::ALLTRIM(VALUES(v));
}

void HEdit::SetValueText(const rt::Value& v) {
    if (v.is_array()) return;
    VarPut(v);
    Refresh();
}

bool HEdit::Refresh() {
    title = display_text();
    if (get_) get_->update_buffer();
    return true;
}

bool HEdit::IsBadDate(const std::string& text) {
    if (!rt::CTOD(text).empty()) return false;
    return std::any_of(text.begin(), text.end(), [](char c) { return is_digit(static_cast<unsigned char>(c)); });
}

bool HEdit::IsEditable(int n) const {
    if (cPicMask.empty()) return true;
    if (n < 1 || n > static_cast<int>(cPicMask.size())) return false;
    const char m = static_cast<char>(std::toupper(static_cast<unsigned char>(cPicMask[static_cast<std::size_t>(n - 1)])));
    switch (cType) {
        case 'N': return std::string_view("9#$*").find(m) != std::string_view::npos;
        case 'D': return m == '9';
        case 'L': return std::string_view("TFYN").find(m) != std::string_view::npos;
        default: return std::string_view("!ANX9#").find(m) != std::string_view::npos;
    }
}

rt::Value HEdit::Untransform(const std::string& text) const {
    switch (cType) {
        case 'N': {
            const bool european = cPicFunc.find('E') != std::string::npos;
            std::string digits;
            for (char c : text) {
                if (is_digit(static_cast<unsigned char>(c))) digits += c;
                else if (c == (european ? ',' : '.')) digits += '.';
            }
            const bool negative = rt::ALLTRIM(text).starts_with("-") || text.find('(') != std::string::npos;
            const double v = rt::VAL(digits);
            return rt::Value(negative ? -v : v);
        }
        case 'D': return rt::Value(rt::CTOD(text));
        case 'L': {
            const std::string t = rt::UPPER(rt::ALLTRIM(text));
            return rt::Value(t == "T" || t == "Y" || t == "S");
        }
        default: {
            if (cPicFunc.find('R') == std::string::npos || cPicMask.empty()) return rt::Value(text);
            std::string out;
            for (std::size_t i = 0; i < text.size(); ++i)
                if (i >= cPicMask.size() || IsEditable(static_cast<int>(i + 1))) out += text[i];
            return rt::Value(out);
        }
    }
}

// ---- editing ----

rt::Get& HEdit::editor() {
    if (!get_) {
        CellRect origin{1, 1, 0, 0};
        if (auto* d = dynamic_cast<HDialog*>(&top_window())) origin = d->screen_cells();
        const std::string picture = cPicFunc.empty() ? cPicMask : cPicFunc + " " + cPicMask;
        get_ = std::make_unique<rt::Get>(
            origin.row + 1 + cell.row, origin.col + 1 + cell.col, "HEDIT", [this] { return VarGet(); },
            [this](const rt::Value& v) { VarPut(v); }, picture);
    }
    return *get_;
}

bool HEdit::filter(int code) const {
    if (code < 32 || code > 255) return true;
    const char c = static_cast<char>(code);
    switch (cType) {
        case 'N':
            if (c == '-') return get_ && get_->pos() == 0;
            return is_digit(code) || c == '.' || c == ',';
        case 'D': return is_digit(code);
        case 'L': return std::string_view("YNTFynft").find(c) != std::string_view::npos;
        default: return true;
    }
}

bool HEdit::gain_focus(bool) {
    lFirst = true;
    if (when_ && !when_(display_text())) return false;
    if (!lMultiLine && !read_only()) editor().set_focus();
    return true;
}

bool HEdit::lose_focus() {
    if (!get_ || !get_->has_focus()) return true;
    auto* dialog = dynamic_cast<HDialog*>(&top_window());
    if (dialog && rt::LASTKEY() == rt::key::ESC) {
        get_->kill_focus();
        return true;
    }
    // A bad date stays as typed, for correction.
    if (cType == 'D' && IsBadDate(get_->buffer())) return false;
    const rt::Value value = cType == 'D' || cType == 'N' ? get_->buffer_value() : Untransform(get_->buffer());
    VarPut(value);
    if (valid_ && !valid_(value)) {
        get_->update_buffer();
        return false;
    }
    get_->kill_focus();
    Refresh();
    return true;
}

KeyResult HEdit::multiline_key(int code) {
    const int lines = static_cast<int>(std::count(title.begin(), title.end(), '\n')) + 1;
    if (code == rt::key::UP) first_line_ = std::max(0, first_line_ - 1);
    else if (code == rt::key::DOWN) first_line_ = std::min(std::max(0, lines - cell.height), first_line_ + 1);
    else if (code == rt::key::TAB || code == rt::key::ENTER) return KeyResult::Next;
    else if (code == rt::key::SHIFT_TAB) return KeyResult::Previous;
    else return KeyResult::Unhandled;
    return KeyResult::Handled;
}

KeyResult HEdit::key(int code) {
    if (lMultiLine || read_only()) return multiline_key(code);
    auto* dialog = dynamic_cast<HDialog*>(&top_window());
    switch (code) {
        case rt::key::ENTER: return dialog && dialog->kind < 10 ? KeyResult::Next : KeyResult::Unhandled;
        case rt::key::TAB:
        case rt::key::DOWN: return KeyResult::Next;
        case rt::key::SHIFT_TAB:
        case rt::key::UP: return KeyResult::Previous;
        default: break;
    }
    rt::Get& g = editor();
    if (!filter(code)) return KeyResult::Refused;
    g.apply_key(code);
    lFirst = false;
    if (g.changed()) {
        lChanged = true;
        if (change_) change_(g.buffer());
    }
    if (g.exit_state() != rt::GetExit::None) {
        g.set_exit_state(rt::GetExit::None);
        return KeyResult::Next;
    }
    return KeyResult::Handled;
}

void HEdit::draw(int row0, int col0, bool focused) const {
    if (lHide) return;
    const int row = row0 + cell.row, col = col0 + cell.col;
    const rt::Attr base = read_only() ? kReadOnly : kField;
    const rt::Attr a = focused && focus_colours().on && !read_only() ? focus_attr() : base;
    if (lMultiLine || read_only()) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start <= title.size()) {
            const auto end = title.find('\n', start);
            lines.push_back(title.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        for (int r = 0; r < cell.height; ++r) {
            const auto i = static_cast<std::size_t>(first_line_ + r);
            const std::string line = i < lines.size() ? lines[i] : std::string();
            rt::at_say(row + r, col, rt::PADR(line, static_cast<std::size_t>(cell.width)), a);
        }
        return;
    }
    std::string text = get_ && get_->has_focus() ? get_->buffer() : display_text();
    if (lPassword)
        for (char& c : text)
            if (c != ' ') c = '*';
    rt::at_say(row, col, rt::PADR(text, static_cast<std::size_t>(cell.width)), a);
    if (focused && get_ && get_->has_focus()) {
        rt::SETPOS(row, get_->cursor_col());
        rt::SETCURSOR(1);
    }
}

// ---- dialog helpers ----

std::vector<HEdit*> CREATEGETLIST(HCustomWindow& dialog) {
    std::vector<HEdit*> list;
    for (auto& c : dialog.aControls) {
        if (auto* e = dynamic_cast<HEdit*>(c.get()); e && e->bSetGet) list.push_back(e);
        for (auto& inner : c->aControls)
            if (auto* e = dynamic_cast<HEdit*>(inner.get()); e && e->bSetGet) list.push_back(e);
    }
    return list;
}

bool GETSKIP(HCustomWindow& parent, int nStep) {
    auto* dialog = dynamic_cast<HDialog*>(&parent.top_window());
    return dialog && dialog->move_focus(nStep >= 0 ? 1 : -1);
}

}  // namespace qv::console
