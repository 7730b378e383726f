#pragma once
// The writer of the declaration file: elements and attributes appended to
// one text buffer, which is appended to the file at the points the section
// writers choose (so that it stays small). Each attribute is a blank, its
// name, "=" and its quoted value, written in the order of the calls.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include "runtime/core/date.hpp"
#include "transfer/xml_values.hpp"

namespace qv::transfer {

class XmlWriter {
public:
    XmlWriter() = default;   // the buffer only, no file

    // Creates `path` empty (the file name in CP850). False when it cannot be
    // created; the writer then keeps to its buffer and create_error() holds
    // the system's error number.
    bool create(const std::string& path);
    int create_error() const { return create_error_; }
    bool has_file() const { return file_ != nullptr; }
    // Appends the buffer to the file and empties it; false on a write error
    // (also one of an earlier flush). Without a file the buffer stays.
    bool flush();
    // Flushes and closes the file; false when any write failed.
    bool close();

    void raw(std::string_view text) { buf_ += text; }
    // "<name"; the attributes and a closing mark follow.
    void open(std::string_view element);
    // "<name>": an element without attributes.
    void open_bare(std::string_view element);
    // "</name>"
    void end(std::string_view element);
    // ">" or "/>" after the last attribute written without one.
    void close_start() { buf_ += '>'; }
    void close_empty() { buf_ += "/>"; }

    // A number under its code (A by default).
    void number(std::string_view name, double v, NumberCode code, Close c = Close::None);
    void amount(std::string_view name, double v, Close c = Close::None) { number(name, v, NumberCode::Amount, c); }
    // T: the text as stored, trimmed (guarded).
    void text(std::string_view name, std::string_view v, Close c = Close::None);
    // TA: trimmed and transliterated.
    void translit(std::string_view name, std::string_view v, Close c = Close::None);
    // A date "dd/mm/yyyy", not trimmed ("  /  /    " when empty).
    void date(std::string_view name, rt::Date d, Close c = Close::None);
    // A CPF as "999.999.999-99", trimmed.
    void cpf(std::string_view name, std::string_view digits, Close c = Close::None);

    const std::string& buffer() const { return buf_; }
    std::string take();

private:
    void attribute(std::string_view name, std::string_view quoted);

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string buf_;
    bool failed_ = false;
    int create_error_ = 0;
};

}  // namespace qv::transfer
