#include "runtime/os/mail.hpp"

#include <curl/curl.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <random>

namespace qv::rt::os {

namespace {

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MimeDeleter {
    void operator()(curl_mime* m) const { curl_mime_free(m); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// An encoded word, so that accents survive in the subject line.
std::string header_text(const std::string& text) {
    bool plain = true;
    for (const unsigned char c : text) plain = plain && c >= 32 && c < 127;
    if (plain) return text;
    static const char* const digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string b64;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(text[i]) << 16;
        if (i + 1 < text.size()) n |= static_cast<unsigned char>(text[i + 1]) << 8;
        if (i + 2 < text.size()) n |= static_cast<unsigned char>(text[i + 2]);
        b64 += digits[(n >> 18) & 63];
        b64 += digits[(n >> 12) & 63];
        b64 += i + 1 < text.size() ? digits[(n >> 6) & 63] : '=';
        b64 += i + 2 < text.size() ? digits[n & 63] : '=';
    }
    return "=?UTF-8?B?" + b64 + "?=";
}

std::string date_header() {
    char buf[64];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&now, &tm);
    std::strftime(buf, sizeof buf, "Date: %a, %d %b %Y %H:%M:%S +0000", &tm);
    return buf;
}

// A server given without its scheme on the port of implicit TLS (465)
// speaks TLS from the start; any other port is asked for STARTTLS.
std::string server_url(const std::string& server) {
    if (server.rfind("smtp://", 0) == 0 || server.rfind("smtps://", 0) == 0) return server;
    const auto colon = server.rfind(':');
    if (colon != std::string::npos && server.substr(colon + 1) == "465") return "smtps://" + server;
    return "smtp://" + server;
}

std::string message_id(const std::string& from) {
    const auto at = from.rfind('@');
    std::string domain = at == std::string::npos ? std::string() : from.substr(at + 1);
    while (!domain.empty() && (domain.back() == '>' || domain.back() == ' ')) domain.pop_back();
    if (domain.empty()) domain = "localhost";
    std::random_device random;
    char id[96];
    std::snprintf(id, sizeof id, "<%lld.%08x%08x.%d@", static_cast<long long>(std::time(nullptr)), random(), random(),
                  static_cast<int>(::getpid()));
    return "Message-ID: " + std::string(id) + domain + ">";
}

std::optional<std::string> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool valid_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace

std::string attachment_type(std::string_view bytes) {
    std::size_t controls = 0;
    bool ascii = true;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0) return "application/octet-stream";
        if (c < 32 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != 27) ++controls;
        ascii = ascii && c < 0x80;
    }
    // A few control bytes are a print file's printer sequences; many are
    // no text at all.
    if (controls * 20 > bytes.size()) return "application/octet-stream";
    if (ascii) return "text/plain; charset=us-ascii";
    // The system's own texts are CP850; a file in UTF-8 says so itself.
    return valid_utf8(bytes) ? "text/plain; charset=utf-8" : "text/plain; charset=IBM850";
}

namespace {

// The message as the client reads it; false when it cannot be built.
bool build_mime(CURL* curl, curl_mime* mime, const MailMessage& m, std::string& error) {
    curl_mimepart* text = curl_mime_addpart(mime);
    curl_mime_data(text, m.body.c_str(), CURL_ZERO_TERMINATED);
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");
    if (m.attachment.empty()) return true;
    const auto bytes = read_file(m.attachment);
    curl_mimepart* file = curl_mime_addpart(mime);
    if (!bytes || curl_mime_filedata(file, m.attachment.c_str()) != CURLE_OK) {
        error = "cannot read " + m.attachment;
        return false;
    }
    curl_mime_type(file, attachment_type(*bytes).c_str());
    // base64 keeps the file's bytes (its line ends and form feeds) as they are.
    curl_mime_encoder(file, "base64");
    (void)curl;
    return true;
}

}  // namespace

MailResult send_mail(const std::string& server, const std::string& user, const std::string& password,
                     const MailMessage& message) {
    static std::once_flag init;
    std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    MailResult result;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.error = "cannot start the mail client";
        return result;
    }
    std::unique_ptr<curl_mime, MimeDeleter> mime(curl_mime_init(curl.get()));
    if (!build_mime(curl.get(), mime.get(), message, result.error)) return result;
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const std::string& h : {"Subject: " + header_text(message.subject), "From: " + message.from,
                                 "To: " + message.to, date_header(), message_id(message.from)})
        headers.reset(curl_slist_append(headers.release(), h.c_str()));
    std::unique_ptr<curl_slist, ListDeleter> recipients(curl_slist_append(nullptr, message.to.c_str()));
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, server_url(server).c_str());
    if (!user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
    }
    // A login goes over TLS only: a server that offers no STARTTLS gets no
    // password and no message.
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(user.empty() ? CURLUSESSL_TRY : CURLUSESSL_ALL));
    // The certificates the machine trusts, or the bundle SSL_CERT_FILE names.
    if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle && *bundle) curl_easy_setopt(c, CURLOPT_CAINFO, bundle);
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, message.from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    const CURLcode rc = curl_easy_perform(c);
    result.sent = rc == CURLE_OK;
    result.no_tls = rc == CURLE_USE_SSL_FAILED;
    if (!result.sent) result.error = error[0] ? error : curl_easy_strerror(rc);
    return result;
}

}  // namespace qv::rt::os
