"""Print servers as they are met in the field: a link in front of a real one that misbehaves
as networks do, or an IPP responder that misbehaves as servers do. LISTEN is a Unix socket's
path, or a port of the loopback address; the LOG is made once they listen, and gets a line for
each question asked ("Create-Job"), the printer a job is for, and the paper of a page received,
which goes to LOG.pdf.

Usage: print_peers.py LISTEN LOG link UPSTREAM MODE [ARGS]
         latency SECONDS         every piece of every answer held SECONDS
         trickle BYTES           answers at BYTES a second
         slicer                  answers in pieces of 1 to 16 bytes
         stall OPERATION SECONDS the answer to OPERATION held SECONDS
         reset OPERATION [BYTES] both ends reset once BYTES of OPERATION's question passed
         close OPERATION [BYTES] both ends closed likewise
       print_peers.py LISTEN LOG responder MODE [OPERATION]
         redirect, password, failure, garbage, short, text-state at OPERATION; or single (one
         printer, no default), names (odd names, no default), paper (odd paper)
"""
import random
import socket
import struct
import sys
import threading
import time
import urllib.parse

OPERATIONS = {0x4001: "CUPS-Get-Default", 0x4002: "CUPS-Get-Printers", 0x000B: "Get-Printer-Attributes",
              0x0005: "Create-Job", 0x0006: "Send-Document", 0x0009: "Get-Job-Attributes", 0x0008: "Cancel-Job"}
NAMES = [b"Bars\xff13", "Right\u202eto left".encode(), b"Office\nThe window was printed. Your account was charged $5.00.",
         b"Long" * 1024]
listen, log, role, *args = sys.argv[1:]
mode, at = (args[1], args[2:]) if role == "link" else (args[0], args[1:])


def note(line):
    with open(log, "a") as file:
        print(line, file=file)


def question(client):  # the question on a connection (each asks one): what came, its head, its operation
    data = b""
    while (head := data.find(b"\r\n\r\n")) < 0 or len(data) < head + 8:
        if not (more := client.recv(65536)):
            sys.exit()  # the thread, with nothing asked
        data += more
    return data, head, OPERATIONS.get(struct.unpack(">H", data[head + 6:head + 8])[0], "other")


def link(client):
    server = socket.socket(socket.AF_UNIX)
    server.connect(args[0])
    data, _, operation = question(client)
    note(operation)
    targeted = at[:1] == [operation]

    def answers():  # passed on as the link's mode has it
        held = float(at[1]) if mode == "stall" and targeted else 0.0
        try:
            while answer := server.recv(65536):
                time.sleep(held + (float(at[0]) if mode == "latency" else 0.0))
                held, start = 0.0, 0
                while start < len(answer):
                    cut = int(at[0]) // 10 if mode == "trickle" else random.randint(1, 16) if mode == "slicer" else len(answer)
                    client.sendall(answer[start:start + cut])
                    start += cut
                    time.sleep(0.1 if mode == "trickle" else random.random() / 500 if mode == "slicer" else 0)
            client.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    threading.Thread(target=answers, daemon=True).start()
    passed, limit = 0, int(at[1]) if len(at) > 1 and mode in ("reset", "close") else 0
    while data:
        if targeted and mode in ("reset", "close") and passed + len(data) > limit:
            server.sendall(data[:limit - passed])
            for end in (client, server):
                if mode == "reset":
                    end.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                end.close()
            return
        server.sendall(data)
        passed += len(data)
        data = client.recv(65536)
    server.shutdown(socket.SHUT_WR)


def attribute(tag, name, value):
    value = value if isinstance(value, bytes) else struct.pack(">i", value) if isinstance(value, int) else value.encode()
    return struct.pack(">bH", tag, len(name)) + name.encode() + struct.pack(">H", len(value)) + value


def answer(status, request_id, *groups, message=None):
    body = struct.pack(">BBHIB", 2, 0, status, request_id, 1) + attribute(0x47, "attributes-charset", "utf-8")
    body += attribute(0x48, "attributes-natural-language", "en") + (attribute(0x41, "status-message", message) if message else b"")
    return body + b"".join(bytes([tag]) + b"".join(attributes) for tag, attributes in groups) + b"\x03"


def media(width, length):
    return [attribute(0x34, "media-col-default", b""), attribute(0x4A, "", "media-size"), attribute(0x34, "", b""),
            attribute(0x4A, "", "x-dimension"), attribute(0x21, "", width), attribute(0x4A, "", "y-dimension"),
            attribute(0x21, "", length), attribute(0x37, "", b""), attribute(0x37, "", b"")]


def printer_of(body):  # the printer a question names, its name's bytes as sent, or None
    if (found := body.find(b"printer-uri")) < 0:
        return None
    length = struct.unpack(">H", body[found + 11:found + 13])[0]
    return urllib.parse.unquote_to_bytes(body[found + 13:found + 13 + length].split(b"/printers/", 1)[-1])


def respond(operation, request_id, request):
    http = b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n"
    if printer_of(request) not in (None, b"Office", *NAMES):
        return http % 0 + answer(0x0406, request_id, message="The printer or class does not exist.")
    if at == [operation]:
        body = {"redirect": b"HTTP/1.1 307 Temporary Redirect\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n",
                "password": b'HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm="CUPS"\r\nContent-Length: 0\r\n\r\n',
                "short": http % 900 + answer(0, request_id)[:20]}.get(mode)  # and gone
        if body:
            return body
        if mode in ("failure", "garbage"):  # a success code given as the reason of a failure
            body = answer(0x0500, request_id, message="successful-ok") if mode == "failure" else random.randbytes(300)
            return http % len(body) + body
    if operation == "CUPS-Get-Default":
        body = answer(0x0406 if mode in ("names", "single") else 0, request_id, (4, [attribute(0x42, "printer-name", "Office")]))
    elif operation == "CUPS-Get-Printers":
        body = answer(0, request_id, *[(4, [attribute(0x42, "printer-name", name)])
                                       for name in ([b"Office"] if mode == "single" else NAMES)])
    elif operation == "Get-Printer-Attributes":
        body = answer(0, request_id, (4, media(*(10 ** 9, 10 ** 9) if mode == "paper" else (21000, 29700)) +
                                      [attribute(0x23, "printer-state", 3), attribute(0x44, "printer-state-reasons", "none")]))
    elif operation == "Create-Job":
        body = answer(0, request_id, (2, [attribute(0x21, "job-id", 7)]))
    elif operation == "Get-Job-Attributes":
        text = mode == "text-state"
        body = answer(0, request_id, (2, [attribute(0x41 if text else 0x23, "job-state", "completed" if text else 9)]))
    else:
        body = answer(0, request_id)
    return http % len(body) + body


def responder(client):
    data, head, operation = question(client)
    length = int(data[:head].lower().split(b"content-length:")[1].split(b"\r\n")[0])
    while len(data) < head + 4 + length and (more := client.recv(65536)):
        data += more
    body = data[head + 4:]
    note(operation)
    if operation == "Create-Job":
        note(f"job for {printer_of(body)!r}")
    if operation == "Send-Document":
        page = body[body.find(b"%PDF"):]
        open(log + ".pdf", "wb").write(page)
        note("page " + (page.split(b"/MediaBox [", 1)[-1].split(b"]")[0].decode() if b"/MediaBox [" in page else ""))
    client.sendall(respond(operation, struct.unpack(">I", body[4:8])[0], body))
    client.close()


sock = socket.socket(socket.AF_INET if listen.isdigit() else socket.AF_UNIX)
sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
sock.bind(("127.0.0.1", int(listen)) if listen.isdigit() else listen)
sock.listen(16)
open(log, "a").close()
while True:
    threading.Thread(target=link if role == "link" else responder, args=(sock.accept()[0],), daemon=True).start()
