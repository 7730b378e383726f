#pragma once
// Sending one e-mail over SMTP: the credentials go to the client as such
// (never inside an address), STARTTLS is used when the server offers it,
// and the message is multipart/mixed with the attachment in base64.
#include <string>

namespace qv::rt::os {

struct MailMessage {
    std::string from, to, subject;   // UTF-8
    std::string body;                // UTF-8 text
    std::string attachment;          // a file path; empty for none
};

struct MailResult {
    bool sent = false;
    std::string error;   // the client's own words when not sent
};

// `server` as "host" or "host:port" (a "smtp://" or "smtps://" prefix is kept).
MailResult send_mail(const std::string& server, const std::string& user, const std::string& password,
                     const MailMessage& message);

}  // namespace qv::rt::os
