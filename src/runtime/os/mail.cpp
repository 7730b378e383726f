#include "runtime/os/mail.hpp"

#include <curl/curl.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>

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

std::string server_url(const std::string& server) {
    if (server.rfind("smtp://", 0) == 0 || server.rfind("smtps://", 0) == 0) return server;
    return "smtp://" + server;
}

// The message as the client reads it; false when it cannot be built.
bool build_mime(CURL* curl, curl_mime* mime, const MailMessage& m, std::string& error) {
    curl_mimepart* text = curl_mime_addpart(mime);
    curl_mime_data(text, m.body.c_str(), CURL_ZERO_TERMINATED);
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");
    if (m.attachment.empty()) return true;
    curl_mimepart* file = curl_mime_addpart(mime);
    if (curl_mime_filedata(file, m.attachment.c_str()) != CURLE_OK) {
        error = "cannot read " + m.attachment;
        return false;
    }
    curl_mime_type(file, "application/octet-stream");
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
                                 "To: " + message.to, date_header()})
        headers.reset(curl_slist_append(headers.release(), h.c_str()));
    std::unique_ptr<curl_slist, ListDeleter> recipients(curl_slist_append(nullptr, message.to.c_str()));
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, server_url(server).c_str());
    if (!user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, message.from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    const CURLcode rc = curl_easy_perform(c);
    result.sent = rc == CURLE_OK;
    if (!result.sent) result.error = error[0] ? error : curl_easy_strerror(rc);
    return result;
}

}  // namespace qv::rt::os
