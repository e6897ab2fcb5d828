"""Print servers as they are met in the field: a link in front of a real one that misbehaves
as networks do, or an IPP responder that misbehaves as servers do. LISTEN is a Unix socket's
path, or a port of the loopback address; the LOG is made once they listen.

Usage: print_peers.py LISTEN LOG link UPSTREAM MODE [ARGS]
         latency SECONDS         every piece of every answer held SECONDS
         trickle BYTES           answers at BYTES a second
         slicer                  answers in pieces of 1 to 16 bytes
         stall OPERATION SECONDS the answer to OPERATION held SECONDS
         reset OPERATION [BYTES] both ends reset once BYTES of OPERATION's request passed
         close OPERATION [BYTES] both ends closed likewise
       print_peers.py LISTEN LOG responder MODE [OPERATION]
         redirect, password, failure, garbage, short, text-state at OPERATION; or fine, single
         (one printer, no default), names (odd names, no default), paper (odd paper)
The LOG gets a line for each request ("Create-Job"), and "page MEDIABOX" for a page received,
which goes to LOG.pdf.
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
listen, log, role, *args = sys.argv[1:]


def note(line):
    with open(log, "a") as file:
        print(line, file=file)


def operation_of(data):  # the operation of a request that starts in `data`, or None
    head = data.find(b"\r\n\r\n")
    if not data.startswith(b"POST ") or head < 0 or len(data) < head + 8:
        return None
    return OPERATIONS.get(struct.unpack(">H", data[head + 6:head + 8])[0], "other")


def end(connections, reset):
    for connection in connections:
        if reset:
            connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        connection.close()


def link(client):
    server = socket.socket(socket.AF_UNIX)
    server.connect(args[0])
    mode, state = args[1], {"held": 0.0}
    target = args[2] if len(args) > 2 else None

    def answers():  # the server's answers, as the link passes them on
        try:
            while data := server.recv(65536):
                time.sleep(max(0.0, state.pop("held", 0.0)))
                if mode == "latency":
                    time.sleep(float(args[2]))
                pieces = [data]
                if mode == "slicer" or mode == "trickle":
                    size = (lambda: random.randint(1, 16)) if mode == "slicer" else lambda: max(1, int(args[2]) // 10)
                    pieces, rest = [], data
                    while rest:
                        cut = size()
                        pieces, rest = pieces + [rest[:cut]], rest[cut:]
                for piece in pieces:
                    client.sendall(piece)
                    time.sleep(0.1 if mode == "trickle" else random.random() / 500 if mode == "slicer" else 0)
            client.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    threading.Thread(target=answers, daemon=True).start()
    pending, counting = b"", None
    try:
        while data := client.recv(65536):
            seen, pending = pending + data, b""
            if seen.startswith(b"POST "):
                if (operation := operation_of(seen)) is None:
                    pending = seen  # its body comes next
                else:
                    note(operation)
                    counting = 0 if operation == target else None
                    state["held"] = float(args[3]) if mode == "stall" and operation == target else 0.0
            if counting is not None and mode in ("reset", "close"):
                limit = int(args[3]) if len(args) > 3 else 0
                if counting + len(data) > limit:
                    server.sendall(data[:max(0, limit - counting)])
                    return end((client, server), mode == "reset")
                counting += len(data)
            server.sendall(data)
        server.shutdown(socket.SHUT_WR)
    except OSError:
        pass


def attribute(tag, name, value):
    value = value if isinstance(value, bytes) else struct.pack(">i", value) if isinstance(value, int) else value.encode()
    return struct.pack(">bH", tag, len(name)) + name.encode() + struct.pack(">H", len(value)) + value


def answer(status, request_id, *groups, message=None):
    body = struct.pack(">BBHI", 2, 0, status, request_id) + b"\x01" + attribute(0x47, "attributes-charset", "utf-8")
    body += attribute(0x48, "attributes-natural-language", "en") + (attribute(0x41, "status-message", message) if message else b"")
    for tag, attributes in groups:
        body += bytes([tag]) + b"".join(attributes)
    return body + b"\x03"


def media(width, length):
    return [attribute(0x34, "media-col-default", b""), attribute(0x4A, "", "media-size"), attribute(0x34, "", b""),
            attribute(0x4A, "", "x-dimension"), attribute(0x21, "", width), attribute(0x4A, "", "y-dimension"),
            attribute(0x21, "", length), attribute(0x37, "", b""), attribute(0x37, "", b"")]


NAMES = [b"Bars\xff13", "Right\u202eto left".encode(), b"Office\nThe window was printed. Your account was charged $5.00.",
         b"Long" * 1024]
KNOWN = NAMES + [b"Office"]


def printer_of(body):  # the printer a request names, its name's bytes as sent, or None
    at = body.find(b"printer-uri")
    if at < 0:
        return None
    length = struct.unpack(">H", body[at + 11:at + 13])[0]
    path = urllib.parse.unquote_to_bytes(body[at + 13:at + 13 + length].split(b"/printers/", 1)[-1])
    return path


def respond(operation, request_id, request):
    mode, at, body = args[0], args[1] if len(args) > 1 else None, b""
    if printer_of(request) not in (None, *KNOWN):
        body = answer(0x0406, request_id, message="The printer or class does not exist.")
    if at in (None, operation):
        if mode == "redirect":
            return b"HTTP/1.1 307 Temporary Redirect\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n"
        if mode == "password":
            return b'HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm="CUPS"\r\nContent-Length: 0\r\n\r\n'
        if mode == "failure":  # and a success code given as the reason
            body = answer(0x0500, request_id, message="successful-ok")
        if mode == "garbage":
            body = bytes(random.getrandbits(8) for _ in range(300))
        if mode == "short":
            return b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: 900\r\n\r\n" + answer(0, request_id)[:20]
    if operation == "CUPS-Get-Default":
        body = body or answer(0x0406 if mode in ("names", "single") else 0, request_id,
                              (4, [attribute(0x42, "printer-name", "Office")]))
    elif operation == "CUPS-Get-Printers":
        names = [b"Office"] if mode == "single" else NAMES
        body = body or answer(0, request_id, *[(4, [attribute(0x42, "printer-name", name)]) for name in names])
    elif operation == "Get-Printer-Attributes":
        body = body or answer(0, request_id, (4, media(*(10 ** 9, 10 ** 9) if mode == "paper" else (21000, 29700))
                                              + [attribute(0x23, "printer-state", 3), attribute(0x44, "printer-state-reasons", "none")]))
    elif operation == "Create-Job":
        body = body or answer(0, request_id, (2, [attribute(0x21, "job-id", 7)]))
    elif operation == "Get-Job-Attributes":
        body = body or answer(0, request_id, (2, [attribute(0x41 if mode == "text-state" else 0x23, "job-state",
                                                            "completed" if mode == "text-state" else 9)]))
    body = body or answer(0, request_id)
    return b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n" % len(body) + body


def responder(client):
    data = b""
    try:
        while True:
            while b"\r\n\r\n" not in data:
                data += client.recv(65536) or sys.exit()
            head, data = data.split(b"\r\n\r\n", 1)
            if b"100-continue" in head.lower():
                client.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
            if b"chunked" in head.lower():
                body = b""
                while True:
                    while b"\r\n" not in data:
                        data += client.recv(65536) or sys.exit()
                    size = int(data.split(b"\r\n", 1)[0].split(b";")[0], 16)
                    while len(data) < data.index(b"\r\n") + 4 + size:
                        data += client.recv(65536) or sys.exit()
                    start = data.index(b"\r\n") + 2
                    body, data = body + data[start:start + size], data[start + size + 2:]
                    if size == 0:
                        break
            else:
                length = int(head.lower().split(b"content-length:")[1].split(b"\r\n")[0]) if b"content-length:" in head.lower() else 0
                while len(data) < length:
                    data += client.recv(65536) or sys.exit()
                body, data = data[:length], data[length:]
            operation = OPERATIONS.get(struct.unpack(">H", body[2:4])[0], "other")
            note(operation)
            if operation == "Create-Job":
                note(f"job for {printer_of(body)!r}")
            if operation == "Send-Document":
                page = body[body.find(b"%PDF"):]
                open(log + ".pdf", "wb").write(page)
                note("page " + (page.split(b"/MediaBox [", 1)[-1].split(b"]")[0].decode() if b"/MediaBox [" in page else ""))
            answered = respond(operation, struct.unpack(">I", body[4:8])[0], body)
            client.sendall(answered)
            if b"Content-Length: 900" in answered:  # cut short, and gone
                break
    except (OSError, SystemExit):
        pass
    client.close()


sock = socket.socket(socket.AF_INET if listen.isdigit() else socket.AF_UNIX)
sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
sock.bind(("127.0.0.1", int(listen)) if listen.isdigit() else listen)
sock.listen(16)
open(log, "a").close()
while True:
    threading.Thread(target=link if role == "link" else responder, args=(sock.accept()[0],), daemon=True).start()
