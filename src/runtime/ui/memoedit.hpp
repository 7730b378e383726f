#pragma once
// MEMOEDIT: a text edited (or only read and scrolled) inside a screen
// rectangle, word-wrapped at the line length. Ctrl+W ends and keeps the
// edit; Esc ends and gives back the text as it came in (asking whether to
// drop changes is the caller's business). A user function may watch the
// editor and take the keys it does not use.
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/screen/screen.hpp"
#include "runtime/ui/memoedit_layout.hpp"

namespace qv::rt {

class MemoEditor;

// When the user function is called: once before the first key (Init),
// whenever no key is waiting (Idle), and for a key the editor does not use
// or an ending key (Esc, Ctrl+W) before it acts (Key).
enum class MemoEvent { Init, Idle, Key };
// Default: the editor's own handling (an unused key is ignored); Keep: end
// keeping the edited text; Drop: end giving back the original; Ignore: the
// key is dropped.
enum class MemoReply { Default, Keep, Drop, Ignore };
using MemoUserFunction = std::function<MemoReply(MemoEvent, int key, MemoEditor&)>;

struct MemoEditOptions {
    bool edit = true;            // false: read only, the keys scroll the text
    int line_length = 0;         // 0: the width of the rectangle
    int tab_size = 4;
    std::string colour;          // empty: the standard slot of SETCOLOR
    // Keys the editor does not use (after SETKEY handlers): return true to
    // end the editor as Esc does.
    std::function<bool(int key)> other_key;
    MemoUserFunction user_function;
    // Where editing starts: the cursor as an offset into the text (line
    // ends counted as one character) and the first line shown (0-based).
    std::size_t cursor = 0;
    std::size_t first_line = 0;
    bool insert = true;
};

class MemoEditor {
public:
    MemoEditor(std::string_view stored, int top, int left, int bottom, int right,
               MemoEditOptions opt = {});

    // One key; false once the editor has ended.
    bool apply_key(int key);
    void display() const;
    // The key loop: display, read keys until Ctrl+W or Esc; returns the result.
    std::string run();

    bool ended() const { return ended_; }
    bool saved() const { return saved_; }   // ended by Ctrl+W in edit mode
    // The result: the edited text after Ctrl+W, else the original.
    std::string result() const;
    std::string text() const;               // the current text, CR LF line ends

    // Cursor as 1-based line and column of the wrapped text; first line shown.
    int line() const;
    int column() const;
    int top_line() const { return static_cast<int>(top_line_) + 1; }
    int line_count() const { return static_cast<int>(lines_.size()); }
    bool insert_mode() const { return insert_; }
    // The cursor as an offset into the text (line ends counted as one).
    std::size_t cursor() const { return pos_; }
    // The cursor's row and column inside the box (1-based).
    int window_row() const { return line() - top_line() + 1; }
    int window_col() const { return column() - static_cast<int>(left_col_); }
    // True once any key changed the text.
    bool changed() const { return changed_; }

private:
    void relayout();
    std::size_t line_of(std::size_t pos) const;
    void go_line(std::size_t line);
    void keep_visible();
    void insert_text(std::string_view s);
    void erase(std::size_t pos, std::size_t n);
    bool edit_key(int key);
    bool view_key(int key);
    bool reply(MemoReply r);
    void delete_word_right();
    int rows() const { return bottom_ - top_ + 1; }
    int width() const { return right_ - left_ + 1; }

    std::string original_;
    std::string buf_;              // "\n" line ends
    int top_, left_, bottom_, right_;
    MemoEditOptions opt_;
    int line_len_;
    std::vector<MemoLine> lines_;
    std::size_t pos_ = 0;          // cursor offset in buf_
    std::size_t want_col_ = 0;     // column kept by Up / Down
    std::size_t top_line_ = 0;     // first line shown (0-based)
    std::size_t left_col_ = 0;     // first column shown
    bool insert_ = true;
    bool ended_ = false;
    bool saved_ = false;
    bool changed_ = false;
};

// The text edited in top..bottom, left..right. Returns the edited text after
// Ctrl+W, the original after Esc (and always in read-only mode).
std::string MEMOEDIT(std::string_view text, int top, int left, int bottom, int right,
                     bool edit = true, int line_length = 0);
std::string MEMOEDIT(std::string_view text, int top, int left, int bottom, int right,
                     const MemoEditOptions& opt);

}  // namespace qv::rt
