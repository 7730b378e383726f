#include "console/controls.hpp"

#include <algorithm>
#include <cctype>

#include "console/dialog.hpp"
#include "console/dialog_layout.hpp"
#include "console/values.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::console {

namespace {

constexpr int kCellWidth = 7;
constexpr int kCellHeight = 20;
constexpr rt::Attr kFocusButton = 0x1F;   // W+/B
constexpr rt::Attr kHotLetter = 0x74;     // R/W

int whole(double v) { return static_cast<int>(v); }

// The caption's length before it becomes text: a number or a date has no
// length of its own, so its text counts.
int caption_length(const rt::Value& caption) {
    return caption.is_string() ? static_cast<int>(caption.len()) : static_cast<int>(LENU(caption));
}

}  // namespace

CellRect cells_of_pixels(int left, int top, int width, int height) {
    return {std::max(0, top / kCellHeight), std::max(0, left / kCellWidth), std::max(1, width / kCellWidth),
            std::max(1, height / kCellHeight)};
}

std::string strip_hot_letter(const std::string& caption, char* letter) {
    std::string out;
    if (letter) *letter = 0;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            if (letter && !*letter) *letter = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
            continue;
        }
        out += caption[i];
    }
    return out;
}

// ---- HCustomWindow::BtnOpc (it makes buttons) ----

void HCustomWindow::BtnOpc(const std::vector<std::string>& captions, int width, int height, double spacing) {
    const int n = static_cast<int>(captions.size());
    if (n == 0) return;
    if (spacing < 1) spacing = std::max((nWidth - n * width) / static_cast<double>(n + 1), 10.0);
    const double total = width + (n - 1) * (spacing + width);
    double left = whole(nWidth / 2.0 - total / 2.0);
    for (int i = 0; i < n; ++i) {
        const int number = i + 1;
        HButton& b = HButton::New(this, std::nullopt, ws::TABSTOP, {left, double(nHeight - 50), double(width), double(height)},
                                  captions[static_cast<std::size_t>(i)],
                                  [number](HButton& self) { self.top_window().close(number); });
        aBtnOpc.push_back(&b);
        left += spacing + width;
    }
}

// ---- HControl ----

int HControl::NewId(const HCustomWindow& parent) {
    const int start = 34000 + 1000 * parent.depth() + static_cast<int>(parent.aControls.size());
    auto used = [&](int id) {
        return std::any_of(parent.aControls.begin(), parent.aControls.end(),
                           [id](const std::unique_ptr<HControl>& c) { return c->id == id; });
    };
    int id = start;
    while (id > 34000 && used(id)) --id;
    return id;
}

void HControl::place(HCustomWindow* parent, std::optional<int> given_id, int given_style, int left, int top,
                     int width, int height) {
    if (!parent) parent = oDefaultParent;
    oParent = parent;
    id = given_id ? *given_id : (parent ? NewId(*parent) : 34000);
    style = given_style | ws::CHILD_VISIBLE;
    nLeft = left;
    nTop = top;
    nWidth = width;
    nHeight = height;
    cell = cells_of_pixels(left, top, width, height);
}

void HControl::AddName(const std::string& name) {
    if (name.empty() || name == "::" || name.find('[') != std::string::npos || !oParent) return;
    oParent->named[rt::UPPER(name)] = this;
}

void HControl::SetColor(std::optional<rt::Attr> text_and_back) {
    if (text_and_back) tcolor = *text_and_back;
}

void HControl::Init() {
    if (lInit) return;
    if (bInit && oParent) {
        const bool was = oParent->lSuspendMsgsHandling;
        oParent->lSuspendMsgsHandling = true;
        bInit(*this);
        oParent->lSuspendMsgsHandling = was;
    }
    lInit = true;
}

void HControl::draw(int, int, bool) const {}

// ---- HStatic ----

HStatic& HStatic::New(HCustomWindow* parent, std::optional<int> id, int style, Placement at,
                      const rt::Value& caption, std::function<void()> click, bool transparent) {
    auto s = std::make_unique<HStatic>();
    if (!parent) parent = HWGETLAST();
    const int length = caption_length(caption);
    const std::string text = VALUES(caption);
    double left = at.left.value_or(0), top = at.top.value_or(0);
    double width = 0, height = 0;
    CellRect cells;
    if (!parent || parent->lPixel) {
        const PixelSize size = _FONTRECT(text);
        width = at.width.value_or(size.width);
        height = at.height.value_or(size.height);
        if (parent) {
            HCOL(whole(left + width), parent);
            HROW(whole(top), parent);
            HROWH(whole(top + height), parent);
        }
        cells = cells_of_pixels(whole(left), whole(top), whole(width), whole(height));
    } else {
        width = at.width.value_or(length);
        height = at.height.value_or(1);
        HCOL(whole(left + width), parent);
        HROW(whole(top), parent);
        HROWH(whole(top + height), parent);
        cells = {whole(top), whole(left), std::max(1, whole(width)), std::max(1, whole(height))};
        top = HSAYTOP(top);
        left = HSAYLEFT(left);
        width = HSAYWIDTH(width);
        height = HSAYHEIGHT(height);
    }
    s->nStyleHS = style | ws::SS_NOTIFY;
    int window_style = s->nStyleHS;
    if (transparent || (s->nStyleHS & ~ws::SS_NOTIFY) > 32) window_style = ws::SS_OWNERDRAW | ws::SS_NOTIFY;
    window_style |= style & (ws::BORDER | ws::DLGFRAME);
    s->place(parent, id, window_style, whole(left), whole(top), whole(width), whole(height));
    s->cell = cells;
    s->title = text;
    s->bClick = std::move(click);
    HStatic& ref = *s;
    if (parent) parent->AddControl(std::move(s));
    ref.Init();
    return ref;
}

void HStatic::SetValue(const rt::Value& v) {
    title = VALUES(v);
    if (AutoSize) cell.width = std::max(1, static_cast<int>(title.size()));
}

void HStatic::draw(int row0, int col0, bool) const {
    if (lHide) return;
    rt::at_say(row0 + cell.row, col0 + cell.col, rt::PADR(title, static_cast<std::size_t>(cell.width)), tcolor);
}

// ---- HButton ----

HButton& HButton::New(HCustomWindow* parent, std::optional<int> id, int style, Placement at,
                      const std::string& caption, std::function<void(HButton&)> click) {
    auto b = std::make_unique<HButton>();
    if (!parent) parent = HWGETLAST();
    b->place(parent, id, style | ws::TABSTOP, whole(at.left.value_or(0)), whole(at.top.value_or(0)),
             whole(at.width.value_or(90)), whole(at.height.value_or(30)));
    b->cell.height = 1;
    b->title = caption;
    b->bClick = std::move(click);
    HButton& ref = *b;
    if (parent) {
        parent->AddControl(std::move(b));
        parent->AddEvent(msg::COMMAND, ref.id, [&ref](HCustomWindow&, int) {
            ref.onClick();
            return 0;
        });
    }
    ref.Init();
    return ref;
}

void HButton::onClick() {
    if (!bClick) return;
    HCustomWindow* p = oParent;
    const bool was = p ? p->lSuspendMsgsHandling : false;
    if (p) p->lSuspendMsgsHandling = true;
    bClick(*this);
    if (p) p->lSuspendMsgsHandling = was;
}

char HButton::hot_letter() const {
    char letter = 0;
    strip_hot_letter(title, &letter);
    return letter;
}

bool HButton::gain_focus(bool) { return !bGetFocus || bGetFocus(title, *this); }

KeyResult HButton::key(int code) {
    if (code == rt::key::ENTER || code == ' ') return KeyResult::Press;
    if (code == rt::key::RIGHT) return KeyResult::Next;
    if (code == rt::key::LEFT) return KeyResult::Previous;
    return KeyResult::Unhandled;
}

void HButton::draw(int row0, int col0, bool focused) const {
    if (lHide) return;
    char letter = 0;
    const std::string caption = strip_hot_letter(title, &letter);
    const int width = std::max(cell.width, static_cast<int>(caption.size()) + 2);
    const std::string face = rt::PADC(caption, static_cast<std::size_t>(width - 2));
    const rt::Attr a = focused ? kFocusButton : (IsEnabled() ? tcolor : rt::Attr(0x78));
    const int row = row0 + cell.row, col = col0 + cell.col;
    rt::at_say(row, col, "[" + face + "]", a);
    if (!letter) return;
    for (std::size_t i = 0; i < face.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(face[i])) == letter) {
            rt::at_say(row, col + 1 + static_cast<int>(i), face.substr(i, 1), focused ? a : kHotLetter);
            break;
        }
}

int HButtonEX::SetColorEx(int n, rt::Attr colour) {
    if (n < 1 || n > 6) return -1;
    colours_[n - 1] = colour;
    if (n == 1) tcolor = colour;
    return 0;
}

// ---- HGroup, HLine ----

HGroup& HGroup::New(HCustomWindow* parent, std::optional<int> id, Placement at, const std::string& caption) {
    auto g = std::make_unique<HGroup>();
    if (!parent) parent = HWGETLAST();
    g->place(parent, id, ws::BS_GROUPBOX, whole(at.left.value_or(0)), whole(at.top.value_or(0)),
             whole(at.width.value_or(0)), whole(at.height.value_or(0)));
    g->title = caption;
    HGroup& ref = *g;
    if (parent) parent->AddControl(std::move(g));
    return ref;
}

void HGroup::draw(int row0, int col0, bool) const {
    if (lHide) return;
    const int top = row0 + cell.row, left = col0 + cell.col;
    rt::DISPBOX(top, left, top + std::max(1, cell.height - 1), left + std::max(1, cell.width - 1), rt::B_SINGLE, tcolor);
    if (!title.empty()) rt::at_say(top, left + 1, strip_hot_letter(title), tcolor);
}

HLine& HLine::New(HCustomWindow* parent, std::optional<int> id, bool vertical, Placement at,
                  std::optional<int> length) {
    auto l = std::make_unique<HLine>();
    if (!parent) parent = HWGETLAST();
    const int len = length.value_or(20);
    l->lVert = vertical;
    l->place(parent, id, 0, whole(at.left.value_or(0)), whole(at.top.value_or(0)), vertical ? 10 : len,
             vertical ? len : 10);
    HLine& ref = *l;
    if (parent) parent->AddControl(std::move(l));
    return ref;
}

void HLine::draw(int row0, int col0, bool) const {
    if (lHide) return;
    const int row = row0 + cell.row, col = col0 + cell.col;
    if (lVert) {
        for (int r = 0; r < cell.height; ++r) rt::at_say(row + r, col, "\xB3", tcolor);
    } else {
        rt::at_say(row, col, rt::REPLICATE("\xC4", static_cast<std::size_t>(cell.width)), tcolor);
    }
}

// ---- HStatus ----

HStatus& HStatus::New(HCustomWindow* parent, std::optional<int> id, std::vector<int> parts) {
    auto s = std::make_unique<HStatus>();
    if (!parent) parent = HWGETLAST();
    const int width = parent ? parent->nWidth : 0;
    const int top = parent ? std::max(0, parent->nHeight - 20) : 0;
    s->place(parent, id, 0x54000000, 0, top, width, 20);
    s->aParts = parts.empty() ? std::vector<int>{width} : std::move(parts);
    s->texts_.resize(s->aParts.size());
    HStatus& ref = *s;
    if (parent) parent->AddControl(std::move(s));
    return ref;
}

void HStatus::SetTextPanel(int n, const std::string& text) {
    if (n < 1 || n > static_cast<int>(texts_.size())) return;
    texts_[static_cast<std::size_t>(n - 1)] = text;
}

std::string HStatus::GetTextPanel(int n) const {
    if (n < 1 || n > static_cast<int>(texts_.size())) return {};
    return texts_[static_cast<std::size_t>(n - 1)];
}

void HStatus::draw(int row0, int col0, bool) const {
    int col = col0;
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const int width = std::max(1, aParts[i] / 7);
        rt::at_say(row0 + cell.row, col, rt::PADR(texts_[i], static_cast<std::size_t>(width)), tcolor);
        col += width;
    }
}

}  // namespace qv::console
