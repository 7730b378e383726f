"""A local SMTP server for the e-mail tests: it asks for a login, and writes
what each message carried (decoded) as JSON lines to the output file."""
import json
import sys
import time
from email import message_from_bytes
from email.header import decode_header, make_header

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

port, user, password, out, ready = sys.argv[1:6]


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login.decode() == user and auth_data.password.decode() == password
    return AuthResult(success=ok, handled=False, message=None if ok else "535 5.7.8 Authentication failed")


class Sink:
    async def handle_DATA(self, server, session, envelope):
        msg = message_from_bytes(envelope.content)
        summary = {"subject": str(make_header(decode_header(msg["Subject"]))), "to": envelope.rcpt_tos,
                   "from": envelope.mail_from, "parts": []}
        for part in msg.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True)
            summary["parts"].append({"type": part.get_content_type(), "charset": part.get_content_charset(),
                                     "filename": part.get_filename(),
                                     "text": payload.decode(part.get_content_charset() or "latin-1"),
                                     "hex": payload.hex()})
        with open(out, "a", encoding="utf-8") as f:
            f.write(json.dumps(summary, ensure_ascii=False) + "\n")
        return "250 OK"


controller = Controller(Sink(), hostname="127.0.0.1", port=int(port), authenticator=authenticator,
                        auth_required=True, auth_require_tls=False)
controller.start()
open(ready, "w").close()
while True:
    time.sleep(1)
