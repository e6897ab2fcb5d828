"""A print server that misbehaves, on a Unix socket in front of a real one's.

Usage: print_server_proxy.py LISTEN UPSTREAM MODE [SECONDS]
  slow SECONDS  every request passed on at once, every reply held SECONDS
  mute          connections taken, nothing passed on, never an answer
  mute-after-page  replies stop on a connection once it has sent a whole page (a PDF file)
  cut-page      a connection that starts sending a page goes silent both ways
"""
import socket
import sys
import threading
import time

listen, upstream, mode = sys.argv[1:4]
delay = float(sys.argv[4]) if len(sys.argv) > 4 else 0.0


class Link:
    def __init__(self, client):
        self.client = client
        self.server = None if mode == "mute" else socket.socket(socket.AF_UNIX)
        self.silent = mode == "mute"
        self.replying = False  # the server's reply to the last request has begun

    def requests(self):
        while data := self.client.recv(65536):
            if mode == "cut-page" and b"%PDF" in data or mode == "mute-after-page" and b"%%EOF" in data:
                self.silent = True
            if self.silent and mode != "mute-after-page":  # the server hears no more either
                continue
            self.replying = False
            self.server.sendall(data)

    def replies(self):
        try:
            while data := self.server.recv(65536):
                if self.silent:
                    continue
                if not self.replying:
                    time.sleep(delay)
                    self.replying = True
                self.client.sendall(data)
        except OSError:
            pass
        self.client.close()


def serve(client):
    link = Link(client)
    if link.server:
        link.server.connect(upstream)
        threading.Thread(target=link.replies, daemon=True).start()
    try:
        link.requests()
    except OSError:
        pass
    if link.silent:
        time.sleep(3600)  # a silent server keeps the connection open
    elif link.server:
        link.server.shutdown(socket.SHUT_WR)


sock = socket.socket(socket.AF_UNIX)
sock.bind(listen)
sock.listen(16)
while True:
    threading.Thread(target=serve, args=(sock.accept()[0],), daemon=True).start()
