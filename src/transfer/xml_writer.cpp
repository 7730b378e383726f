#include "transfer/xml_writer.hpp"

#include <unistd.h>

#include <cerrno>

#include "common/paths.hpp"

namespace qv::transfer {

bool XmlWriter::create(const std::string& path) {
    // An existing file is written over in place and cut to its new length
    // at the close: emptying it first would have its blocks freed and taken
    // again, and its old content forced to the disk, at every generation.
    errno = 0;
    const std::string name = common::fs_path(path).string();
    file_.reset(std::fopen(name.c_str(), "r+b"));
    if (!file_) file_.reset(std::fopen(name.c_str(), "wb"));
    failed_ = file_ == nullptr;
    create_error_ = failed_ ? (errno != 0 ? errno : EIO) : 0;
    return !failed_;
}

bool XmlWriter::flush() {
    if (!file_) return !failed_;
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), file_.get()) != buf_.size()) failed_ = true;
    buf_.clear();
    return !failed_;
}

bool XmlWriter::close() {
    if (!file_) return !failed_;
    flush();
    if (std::fflush(file_.get()) != 0) failed_ = true;
    const long length = std::ftell(file_.get());
    if (length < 0 || ::ftruncate(::fileno(file_.get()), length) != 0) failed_ = true;
    if (std::fclose(file_.release()) != 0) failed_ = true;
    return !failed_;
}

void XmlWriter::open(std::string_view element) {
    buf_ += '<';
    buf_ += element;
}

void XmlWriter::open_bare(std::string_view element) {
    open(element);
    close_start();
}

void XmlWriter::end(std::string_view element) {
    buf_ += "</";
    buf_ += element;
    buf_ += '>';
}

void XmlWriter::attribute(std::string_view name, std::string_view quoted) {
    buf_ += ' ';
    buf_ += name;
    buf_ += '=';
    buf_ += quoted;
}

void XmlWriter::number(std::string_view name, double v, NumberCode code, Close c) {
    // As CONVNRO quotes it, written straight into the buffer.
    buf_ += ' ';
    buf_ += name;
    buf_ += "=\"";
    buf_ += number_text(v, code);
    buf_ += '"';
    buf_ += close_mark(c);
}

void XmlWriter::text(std::string_view name, std::string_view v, Close c) {
    attribute(name, POEASPAS(v, static_cast<int>(c), 0));
}

void XmlWriter::translit(std::string_view name, std::string_view v, Close c) {
    attribute(name, POEASPAS(v, static_cast<int>(c), 1));
}

void XmlWriter::date(std::string_view name, rt::Date d, Close c) {
    attribute(name, '"' + date_text(d) + '"' + std::string(close_mark(c)));
}

void XmlWriter::cpf(std::string_view name, std::string_view digits, Close c) {
    text(name, cpf_text(digits), c);
}

std::string XmlWriter::take() {
    std::string out;
    out.swap(buf_);
    return out;
}

}  // namespace qv::transfer
