#pragma once
// Sending one e-mail over SMTP: the credentials go to the client as such
// (never inside an address) and only over TLS (STARTTLS, or TLS from the
// start on port 465 or a "smtps://" server); the message is multipart/mixed
// with a Message-ID, and the attachment in base64, a text file as text with
// its charset.
#include <string>
#include <string_view>

namespace qv::rt::os {

struct MailMessage {
    std::string from, to, subject;   // UTF-8
    std::string body;                // UTF-8 text
    std::string attachment;          // a file path; empty for none
};

struct MailResult {
    bool sent = false;
    bool no_tls = false;   // a login was needed and the server offers no TLS
    std::string error;     // the client's own words when not sent
};

// The content type of an attachment: text (with the charset its bytes
// show: us-ascii, utf-8, else the system's IBM850) or binary.
std::string attachment_type(std::string_view bytes);

// `server` as "host" or "host:port" (a "smtp://" or "smtps://" prefix is kept).
MailResult send_mail(const std::string& server, const std::string& user, const std::string& password,
                     const MailMessage& message);

}  // namespace qv::rt::os
