"""A local SMTP server for the e-mail tests: it asks for a login, and writes
what each message carried (decoded) as JSON lines to the output file, and a
line for every login tried.

Modes: "starttls" offers AUTH only after STARTTLS (with the test certificate
beside this script); "plain" offers AUTH on the plain connection, which a
careful client must refuse."""
import json
import os
import ssl
import sys
import time
from email import message_from_bytes
from email.header import decode_header, make_header

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

port, user, password, out, ready = sys.argv[1:6]
mode = sys.argv[6] if len(sys.argv) > 6 else "plain"
here = os.path.dirname(os.path.abspath(__file__))


def log(entry):
    with open(out, "a", encoding="utf-8") as f:
        f.write(json.dumps(entry, ensure_ascii=False) + "\n")


def authenticator(server, session, envelope, mechanism, auth_data):
    log({"auth": mechanism, "tls": session.ssl is not None})
    ok = auth_data.login.decode() == user and auth_data.password.decode() == password
    return AuthResult(success=ok, handled=False, message=None if ok else "535 5.7.8 Authentication failed")


class Sink:
    async def handle_DATA(self, server, session, envelope):
        msg = message_from_bytes(envelope.content)
        summary = {"subject": str(make_header(decode_header(msg["Subject"]))), "to": envelope.rcpt_tos,
                   "from": envelope.mail_from, "message_id": msg["Message-ID"], "parts": []}
        for part in msg.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True)
            summary["parts"].append({"type": part.get_content_type(), "charset": part.get_content_charset(),
                                     "filename": part.get_filename(),
                                     "text": payload.decode(part.get_content_charset() or "latin-1"),
                                     "hex": payload.hex()})
        log(summary)
        return "250 OK"


options = {}
if mode == "starttls":
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(os.path.join(here, "smtp_test_cert.pem"), os.path.join(here, "smtp_test_key.pem"))
    options = {"tls_context": context, "require_starttls": True, "auth_require_tls": True}
else:
    options = {"auth_require_tls": False}
controller = Controller(Sink(), hostname="127.0.0.1", port=int(port), authenticator=authenticator,
                        auth_required=True, **options)
controller.start()
open(ready, "w").close()
while True:
    time.sleep(1)
