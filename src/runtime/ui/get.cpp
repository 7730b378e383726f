// The entry field: binding, display and the editing of its buffer.
#include "runtime/ui/get.hpp"
#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>
#include "runtime/core/expr.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/ui/get_settings.hpp"

namespace qv::rt {

namespace {

bool editable_type(const Value& v) {
    return v.is_string() || v.is_number() || v.is_date() || v.is_logical();
}

std::pair<std::optional<Attr>, std::optional<Attr>> parse_pair(std::string_view spec) {
    const auto comma = spec.find(',');
    const std::string_view first = spec.substr(0, comma);
    const std::string_view second = comma == std::string_view::npos ? first : spec.substr(comma + 1);
    auto one = [](std::string_view s) -> std::optional<Attr> {
        if (ALLTRIM(s).empty()) return std::nullopt;
        return parse_colour(s);
    };
    return {one(first), one(second)};
}

}  // namespace

GetCondition condition_from_text(std::string_view text) {
    auto compiled = std::make_shared<Expr>(Expr::compile(text));
    return [compiled] {
        const Value v = compiled->eval();
        return !v.is_logical() || v.as_bool();
    };
}

Get::Get(int row, int col, std::string name, std::string picture)
    : row_(row), col_(col), name_(UPPER(ALLTRIM(name))), picture_(std::move(picture)) {
    const std::string ref = name_;
    reader_ = [ref] { return variables().read(ref); };
    writer_ = [ref](const Value& v) { variables().assign(ref, v); };
}

Get::Get(int row, int col, std::string name, GetReader reader, GetWriter writer, std::string picture)
    : row_(row), col_(col), name_(UPPER(ALLTRIM(name))), picture_(std::move(picture)),
      reader_(std::move(reader)), writer_(std::move(writer)) {}

Get& Get::valid(GetCondition c) { valid_ = std::move(c); return *this; }
Get& Get::valid(std::string_view expr_text) { return valid(condition_from_text(expr_text)); }
Get& Get::when(GetCondition c) { when_ = std::move(c); return *this; }
Get& Get::when(std::string_view expr_text) { return when(condition_from_text(expr_text)); }
Get& Get::picture(std::string_view pic) { picture_ = std::string(pic); return *this; }
Get& Get::no_negative(bool on) { no_negative_ = on; return *this; }

Get& Get::colour(std::string_view spec) {
    std::tie(unselected_, selected_) = parse_pair(spec);
    return *this;
}

Value Get::var_get() const { return reader_ ? reader_() : Value(); }
void Get::var_put(const Value& v) { if (writer_) writer_(v); }

bool Get::pre_validate() const { return !when_ || when_(); }
bool Get::post_check() const { return !valid_ || valid_(); }

Attr Get::attr(bool focused) const {
    if (focused) return selected_.value_or(colour_slot(1));
    return unselected_.value_or(colour_slot(4));
}

// ---- display ----

void Get::display() const {
    std::string text;
    std::size_t width = 0;
    if (focus_) {
        width = focus_->edit.display_width();
        text = focus_->buffer.substr(std::min(focus_->offset, focus_->buffer.size()));
    } else {
        const Value v = var_get();
        if (!editable_type(v)) return;
        const PictureEdit edit(picture_, v);
        width = edit.display_width();
        text = edit.buffer(v);
    }
    text = PADR(text, static_cast<long>(width));
    at_say(row_, col_, text, attr(focus_.has_value()));
    if (focus_) SETPOS(row_, cursor_col());
}

void Get::to_start() {
    if (!focus_) return;
    home();
    focus_->adding = false;
}

int Get::cursor_col() const {
    if (!focus_) return col_;
    return col_ + static_cast<int>(focus_->pos - std::min(focus_->pos, focus_->offset));
}

void Get::fix_offset() {
    auto& f = *focus_;
    const std::size_t width = f.edit.display_width();
    if (width == 0 || width >= f.buffer.size()) {
        f.offset = 0;
        return;
    }
    if (f.pos < f.offset) f.offset = f.pos;
    if (f.pos >= f.offset + width) f.offset = f.pos - width + 1;
}

// ---- focus ----

void Get::set_focus() {
    const Value v = var_get();
    PictureEdit edit(picture_, v);
    std::string buf = edit.buffer(v);
    focus_.emplace(Focus{std::move(edit), v, std::move(buf)});
    exit_ = GetExit::None;
    reset();
}

void Get::kill_focus() {
    focus_.reset();
    display();
}

const std::string& Get::buffer() const {
    static const std::string none;
    return focus_ ? focus_->buffer : none;
}

std::size_t Get::pos() const { return focus_ ? focus_->pos : 0; }

bool Get::changed() const {
    if (!focus_) return false;
    return focus_->buffer != focus_->edit.buffer(var_get());
}

bool Get::bad_input() const { return focus_ && !focus_->edit.acceptable(focus_->buffer); }

Value Get::buffer_value() const { return focus_ ? focus_->edit.value(focus_->buffer) : var_get(); }

void Get::assign() {
    if (!focus_) return;
    var_put(buffer_value());
    focus_->assigned = true;
}

void Get::update_buffer() {
    if (!focus_) return;
    auto& f = *focus_;
    const Value v = var_get();
    if (v.type() != f.edit.type()) f.edit = PictureEdit(picture_, v);
    f.buffer = f.edit.buffer(v);
    if (!f.edit.editable(f.pos)) f.pos = f.edit.first_editable().value_or(0);
    fix_offset();
}

void Get::undo() {
    if (!focus_) return;
    if (focus_->assigned) var_put(focus_->original);
    focus_->assigned = false;
    focus_->buffer = focus_->edit.buffer(focus_->original);
}

void Get::reset() {
    if (!focus_) return;
    update_buffer();
    auto& f = *focus_;
    f.pos = f.edit.first_editable().value_or(0);
    f.offset = 0;
    // Number fields start afresh on the first digit, as @K fields on any key.
    f.clear = f.edit.clears_on_first_key() || f.edit.type() == Type::Number;
    f.adding = false;
}

}  // namespace qv::rt
