#pragma once
// An entry field (GET): a value reached by name or through a getter/setter
// pair, shown and edited at a screen position under a picture mask, with a
// condition that skips it (WHEN) and a check that must hold before the
// cursor leaves it (VALID). READ (read.hpp) runs a list of them.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include "runtime/core/picture.hpp"
#include "runtime/core/value.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {

using GetReader = std::function<Value()>;
using GetWriter = std::function<void(const Value&)>;
using GetCondition = std::function<bool()>;

// A condition kept as expression text ("CALC(3, 1)", "TEMRURAL == 'S'"),
// compiled once. A result that is not logical counts as true, so routines
// that return nothing may serve as validations. Throws ExprError when the
// text does not compile.
GetCondition condition_from_text(std::string_view text);

// How a field was left; READ decides from it where the cursor goes.
enum class GetExit {
    None,     // still editing
    Up,       // Up, Shift+Tab
    Down,     // Down, Tab
    Enter,    // Enter, or typing past the end without CONFIRM
    Top,      // Ctrl+Home: first field
    Write,    // PgDn, PgUp, Ctrl+W: the whole READ ends
    Escape,   // Esc: the READ is abandoned
    Kill,     // the READ was ended from inside (clear_gets)
};

class Get {
public:
    // On a name as an expression writes it: "M->X" is the variable, a bare
    // name the selected table's field when it has one, "ALIAS->F" a field.
    Get(int row, int col, std::string name, std::string picture = {});
    // On a value held elsewhere (grid cells, array elements); name is what
    // READVAR() reports.
    Get(int row, int col, std::string name, GetReader reader, GetWriter writer,
        std::string picture = {});

    Get& valid(GetCondition c);
    Get& valid(std::string_view expr_text);
    Get& when(GetCondition c);
    Get& when(std::string_view expr_text);
    // "unselected,selected" colours, as "W+/B,N/W"; one colour serves both.
    // Without it the current SETCOLOR's unselected and enhanced slots apply.
    Get& colour(std::string_view spec);
    Get& picture(std::string_view pic);
    // A number field that refuses a minus sign (amounts that are never
    // below zero).
    Get& no_negative(bool on = true);
    bool refuses_negative() const { return no_negative_; }

    int row() const { return row_; }
    int col() const { return col_; }
    const std::string& name() const { return name_; }   // upper case
    const std::string& picture() const { return picture_; }
    bool has_valid() const { return static_cast<bool>(valid_); }
    bool has_when() const { return static_cast<bool>(when_); }

    Value var_get() const;
    void var_put(const Value& v);

    // WHEN: true when the field may be entered.
    bool pre_validate() const;
    // VALID: true when the cursor may leave.
    bool post_check() const;

    // Draws the field: the edit buffer while it has focus, else the value.
    void display() const;

    // ---- editing, while the field has focus ----
    void set_focus();
    void kill_focus();
    bool has_focus() const { return focus_.has_value(); }
    // Applies one key (not a SETKEY one); sets exit_state() when the key
    // leaves the field.
    void apply_key(int key);
    GetExit exit_state() const { return exit_; }
    void set_exit_state(GetExit e) { exit_ = e; }

    const std::string& buffer() const;
    std::size_t pos() const;              // 0-based position in the buffer
    bool changed() const;                 // buffer differs from the value
    bool bad_input() const;               // a date that is not a date
    // The value the buffer stands for, and writing it to the variable.
    Value buffer_value() const;
    void assign();
    // Back to the variable's value: after a key handler or VALID changed it.
    void update_buffer();
    // Esc: the variable gets back the value it had when the field was entered.
    void undo();
    // Buffer rebuilt from the variable, cursor at the first position, as
    // after a refused VALID.
    void reset();
    // The cursor back to the first position, the buffer kept (a refused
    // date is typed again from its start).
    void to_start();
    // The screen position of the cursor while editing.
    int cursor_col() const;

private:
    struct Focus {
        PictureEdit edit;
        Value original;
        std::string buffer;
        std::size_t pos = 0;
        std::size_t offset = 0;   // first buffer position shown (@S)
        bool clear = false;       // the next data key clears the field
        // Whole digits typed on a cleared number field: each one joins
        // those before it at the right of the integer part.
        bool adding = false;
        std::string whole{};      // the whole digits typed so far, as typed
        bool negative = false;
        bool assigned = false;    // the variable was written in this visit
    };

    Attr attr(bool focused) const;
    void home();
    void type_char(char c);
    bool add_to_integer(char c);
    void drop_last_integer_digit();
    void lay_out_integer();
    void to_decimal();
    void delete_at(std::size_t pos);
    void insert_at(std::size_t pos, char c);
    std::size_t part_end(std::size_t pos) const;
    void word_left();
    void word_right();
    void delete_word_right();
    void clear_to_end();
    void drop_stray_sign();
    void move_to(std::size_t pos);
    void fix_offset();

    int row_ = 0;
    int col_ = 0;
    std::string name_;
    std::string picture_;
    GetReader reader_;
    GetWriter writer_;
    GetCondition valid_;
    GetCondition when_;
    std::optional<Attr> unselected_;
    std::optional<Attr> selected_;
    std::optional<Focus> focus_;
    GetExit exit_ = GetExit::None;
    bool no_negative_ = false;
};

}  // namespace qv::rt
