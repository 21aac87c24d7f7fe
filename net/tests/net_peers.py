#!/usr/bin/env python3
"""Scripted loopback peers for the network tests.

One process serves three ports on 127.0.0.1, each chosen by the system and written to the
port file as NAME=PORT lines:
  HTTP   replies picked by the request path, including the misbehaving ones a stock server
         cannot produce (split packets, chunked bodies, silence, early close, huge headers,
         redirects, garbage);
  SOCKS4 a level-4 and 4A server whose user id can ask for an error reply;
  SOCKS5 a level-5 server whose target name can ask for an error reply or a long bound name;
  SOCKS5OPEN the same, but it never asks for the password a client offers;
  FILES  Python's stock http.server over the folder given with --files.
The SOCKS servers relay to targets on 127.0.0.1 only. The process ends by itself after
--lifetime seconds.
"""
import argparse
import functools
import http.server
import os
import random
import socket
import socketserver
import struct
import sys
import threading
import time

LOOPBACK = "127.0.0.1"


def read_request(conn):
    data = b""
    conn.settimeout(10)
    while b"\r\n\r\n" not in data and len(data) < 65536:
        chunk = conn.recv(4096)
        if not chunk:
            break
        data += chunk
    return data


def reply(conn, status, body=b"", headers=(), length=True):
    head = "HTTP/1.0 %s\r\n" % status
    for h in headers:
        head += h + "\r\n"
    if length:
        head += "Content-Length: %d\r\n" % len(body)
    head += "\r\n"
    conn.sendall(head.encode("latin-1") + body)


def read_body(conn, req):
    """The request's body, as long as its Content-Length says."""
    head, _, body = req.partition(b"\r\n\r\n")
    length = 0
    for h in head.split(b"\r\n")[1:]:
        k, _, v = h.partition(b":")
        if k.strip().lower() == b"content-length":
            length = int(v.strip())
    while len(body) < length:
        d = conn.recv(65536)
        if not d:
            break
        body += d
    return body


REAL_REPLY = (b"HTTP/1.0 200 OK\r\nServer: scripted\r\nContent-Type: text/plain\r\n"
              b"Content-Length: 26\r\n\r\nabcdefghijklmnopqrstuvwxyz")


def mutate(seed):
    rnd = random.Random(seed)
    data = bytearray(REAL_REPLY)
    for _ in range(rnd.randint(1, 6)):
        op = rnd.randint(0, 4)
        pos = rnd.randrange(len(data)) if data else 0
        if op == 0 and data:
            data[pos] = rnd.randrange(256)
        elif op == 1:
            data[pos:pos] = bytes(rnd.randrange(256) for _ in range(rnd.randint(1, 8)))
        elif op == 2 and data:
            del data[pos:pos + rnd.randint(1, 8)]
        elif op == 3:
            data = data[:pos]
        else:
            data[pos:pos] = rnd.choice([b"\r\n", b"\n", b":", b"Content-Length: 99999\r\n",
                                        b"Transfer-Encoding: chunked\r\n", b"Location: /fuzz/0\r\n",
                                        b"HTTP/1.1 ", b"\x00", b"<HTML>"])
    return bytes(data)


class HttpHandler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        req = read_request(conn)
        if not req:
            return
        line = req.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        method, target = (parts[0], parts[1]) if len(parts) >= 2 else ("", "/")
        path = target
        if path.startswith("http://"):  # through a proxy: the absolute address
            path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
        port = self.server.server_address[1]
        srv = self.server.peers
        try:
            self.route(conn, method, path, req, port, srv)
        except (BrokenPipeError, ConnectionResetError, socket.timeout):
            pass

    def route(self, conn, method, path, req, port, srv):
        if path == "/plain":
            reply(conn, "200 OK", b"Hello from the scripted server.\r\n", ["Content-Type: text/plain"])
        elif path.split("?")[0] == "/echo":
            reply(conn, "200 OK", req, ["Content-Type: text/plain"])
        elif path == "/split":
            body = b"".join(b"line %04d of a reply sent in small pieces\r\n" % i for i in range(200))
            data = (b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: %d\r\n\r\n" % len(body)) + body
            for i in range(0, len(data), 97):
                conn.sendall(data[i:i + 97])
                time.sleep(0.002)
        elif path == "/chunked":
            conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Type: text/plain\r\n\r\n")
            for piece in [b"Hello, ", b"chunked ", b"world", b"!" * 300]:
                conn.sendall(b"%x;ext=1\r\n" % len(piece) + piece + b"\r\n")
                time.sleep(0.01)
            conn.sendall(b"0\r\nX-Trailer: yes\r\n\r\n")
            time.sleep(8)  # the body is whole: the client must not wait for the close
        elif path == "/keepopen":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA BYTES AFTER THE BODY")
            time.sleep(8)
        elif path == "/head":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000\r\nContent-Type: text/html\r\n\r\n")
            time.sleep(8)
        elif path in ("/404", "/500"):
            code = path[1:]
            reason = "Not Found" if code == "404" else "Internal Server Error"
            reply(conn, code + " " + reason, b"<p>error page</p>", ["Content-Type: text/html"])
        elif path.startswith("/redirect/"):
            n = int(path.split("/")[2])
            if n <= 0:
                reply(conn, "200 OK", b"landed", ["Content-Type: text/plain"])
            else:
                reply(conn, "302 Found", b"", ["Location: /redirect/%d" % (n - 1)])
        elif path == "/redirect-relative":
            reply(conn, "302 Found", b"", ["Location: plain"])
        elif path == "/redirect-loop":
            reply(conn, "301 Moved Permanently", b"", ["Location: http://127.0.0.1:%d/redirect-loop" % port])
        elif path.startswith("/redirect-abs/"):
            other = int(path.split("/")[2])
            reply(conn, "302 Found", b"", ["Location: http://127.0.0.1:%d/GPL-3" % other])
        elif path == "/redirect-other-host":
            reply(conn, "302 Found", b"", ["Location: http://localhost:%d/echo" % port])
        elif path == "/redirect-echo":
            reply(conn, "302 Found", b"", ["Location: /echo"])
        elif path == "/post":
            reply(conn, "200 OK", read_body(conn, req), ["Content-Type: application/octet-stream"])
        elif path.startswith("/post-redirect/"):
            # The body is taken whole first, so that the answer is not lost to a reset.
            code = path.split("/")[2]
            read_body(conn, req)
            target = "/post" if code in ("307", "308") else "/echo"
            reply(conn, code + " Moved", b"", ["Location: " + target])
        elif path == "/a/b/page":
            reply(conn, "302 Found", b"", ["Location: ../target?from=page#part"])
        elif path == "/a/target?from=page":
            reply(conn, "200 OK", b"reached " + path.encode(), ["Content-Type: text/plain"])
        elif path == "/interim":
            # Interim answers before the real one: one alone, one in the packet of the real answer.
            conn.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
            time.sleep(0.05)
            conn.sendall(b"HTTP/1.1 102 Processing\r\nContent-Length: 99\r\nLocation: /plain\r\n\r\n"
                         b"HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Type: text/plain\r\n\r\nfinal")
        elif path == "/switch":
            conn.sendall(b"HTTP/1.1 101 Switching Protocols\r\nUpgrade: other\r\n\r\n\x00\x01binary")
            time.sleep(2)
        elif path == "/redirect-https":
            reply(conn, "302 Found", b"", ["Location: https://127.0.0.1:%d/plain" % port])
        elif path == "/silent":
            time.sleep(12)
        elif path == "/silent-mid":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly part")
            time.sleep(12)
        elif path == "/close-mid":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + b"x" * 100)
        elif path == "/close-no-length":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + b"y" * 5000)
        elif path == "/close-in-header":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Ty")
        elif path == "/close-at-once":
            pass
        elif path == "/huge-header":
            conn.sendall(b"HTTP/1.0 200 OK\r\nX-Huge: " + b"h" * 20000 + b"\r\n\r\nbody")
        elif path == "/no-header":
            conn.sendall(b"<html><body>no header at all</body></html>\r\nsecond line\n")
        elif path == "/garbage":
            conn.sendall(b"NOT HTTP AT ALL\r\n\r\nwhatever")
        elif path == "/bad-length":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nabc")
        elif path == "/bad-chunk":
            conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n")
        elif path.startswith("/fuzz/"):
            conn.sendall(mutate(int(path.split("/")[2])))
        elif path.split("?")[0].endswith(".exe"):
            reply(conn, "200 OK", b"<html>not a program</html>", ["Content-Type: text/html"])
        elif path == "/cookie":
            reply(conn, "200 OK", b"ok", ["Set-Cookie: a=1; Path=/", "WWW-Authenticate: Basic realm=\"r\"",
                                          "Accept-Ranges: bytes", "Content-Type: Text/Plain"])
        else:
            reply(conn, "404 Not Found", b"no such scripted reply")


def relay(a, b):
    def pump(src, dst):
        try:
            while True:
                d = src.recv(65536)
                if not d:
                    break
                dst.sendall(d)
        except OSError:
            pass
        finally:
            try:
                dst.shutdown(socket.SHUT_WR)
            except OSError:
                pass
    t = threading.Thread(target=pump, args=(b, a), daemon=True)
    t.start()
    pump(a, b)
    t.join(30)


def recv_exact(conn, n):
    data = b""
    while len(data) < n:
        d = conn.recv(n - len(data))
        if not d:
            raise ConnectionResetError()
        data += d
    return data


def recv_cstring(conn):
    data = b""
    while True:
        c = recv_exact(conn, 1)
        if c == b"\0":
            return data
        data += c
        if len(data) > 4096:
            raise ConnectionResetError()


def connect_loopback(host, port):
    if host not in (LOOPBACK, "localhost"):
        return None  # never anywhere else
    return socket.create_connection((LOOPBACK, port), timeout=10)


class Socks4Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.settimeout(10)
        try:
            ver, cmd, port = struct.unpack(">BBH", recv_exact(conn, 4))
            ip = socket.inet_ntoa(recv_exact(conn, 4))
            user = recv_cstring(conn).decode("latin-1")
            host = ip
            if ip.startswith("0.0.0.") and ip != "0.0.0.0":
                host = recv_cstring(conn).decode("latin-1")
            self.server.peers.log("socks4 %s user=%s host=%s port=%d" % (ver, user, host, port))
            codes = {"reject": 91, "noident": 92, "badident": 93, "weird": 77}
            if ver != 4 or cmd != 1 or user in codes:
                conn.sendall(struct.pack(">BBH4s", 0, codes.get(user, 91), 0, b"\0\0\0\0"))
                return
            target = connect_loopback(host, port)
            if target is None:
                conn.sendall(struct.pack(">BBH4s", 0, 91, 0, b"\0\0\0\0"))
                return
            conn.sendall(struct.pack(">BBH4s", 0, 90, port, socket.inet_aton(LOOPBACK)))
            relay(conn, target)
        except (OSError, ConnectionResetError):
            pass


class Socks5Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        conn.settimeout(10)
        try:
            ver, n = recv_exact(conn, 2)
            methods = recv_exact(conn, n)
            if 2 in methods and not self.server.open_socks:
                conn.sendall(b"\x05\x02")
                recv_exact(conn, 1)
                user = recv_exact(conn, recv_exact(conn, 1)[0])
                pw = recv_exact(conn, recv_exact(conn, 1)[0])
                ok = (user, pw) == (b"alice", b"wonderland")
                conn.sendall(b"\x01\x00" if ok else b"\x01\x01")
                if not ok:
                    return
            else:
                conn.sendall(b"\x05\x00")
            ver, cmd, _, atyp = recv_exact(conn, 4)
            if atyp == 3:
                host = recv_exact(conn, recv_exact(conn, 1)[0]).decode("latin-1")
            elif atyp == 1:
                host = socket.inet_ntoa(recv_exact(conn, 4))
            else:
                return
            port = struct.unpack(">H", recv_exact(conn, 2))[0]
            self.server.peers.log("socks5 host=%s port=%d" % (host, port))
            fail = {"refused.invalid": 5, "ruleset.invalid": 2, "ttl.invalid": 6, "odd.invalid": 42}
            if host in fail:
                conn.sendall(bytes([5, fail[host], 0, 1, 0, 0, 0, 0, 0, 0]))
                return
            if host == "ipv6.invalid":
                conn.sendall(bytes([5, 0, 0, 4]) + b"\0" * 18)
                return
            target = connect_loopback("localhost" if host.endswith(".test") else host, port)
            if target is None:
                conn.sendall(bytes([5, 4, 0, 1, 0, 0, 0, 0, 0, 0]))
                return
            if host == "greeting.test":
                # A 9-character bound name, and the target's first bytes in the same packet.
                conn.sendall(bytes([5, 0, 0, 3, 9]) + b"localhost" + struct.pack(">H", port) + b"WELCOME\r\n")
            elif host.startswith("longname."):
                # The longest reply there is: a bound name of 255 characters.
                bound = (b"b" * 255)
                conn.sendall(bytes([5, 0, 0, 3, 255]) + bound + struct.pack(">H", 4321))
            else:
                conn.sendall(bytes([5, 0, 0, 1, 127, 0, 0, 1]) + struct.pack(">H", port))
            relay(conn, target)
        except (OSError, ConnectionResetError, ValueError):
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


class Peers:
    def __init__(self, logfile):
        self.logfile = logfile
        self.lock = threading.Lock()

    def log(self, text):
        if self.logfile:
            with self.lock, open(self.logfile, "a") as f:
                f.write(text + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--portfile", required=True)
    ap.add_argument("--lifetime", type=float, default=300)
    ap.add_argument("--log", default="")
    ap.add_argument("--files", required=True)
    args = ap.parse_args()
    peers = Peers(args.log)
    servers = {}
    for name, handler in (("HTTP", HttpHandler), ("SOCKS4", Socks4Handler), ("SOCKS5", Socks5Handler),
                          ("SOCKS5OPEN", Socks5Handler)):
        srv = Server((LOOPBACK, 0), handler)
        srv.peers = peers
        srv.open_socks = name == "SOCKS5OPEN"  # grants without a password even when one is offered
        threading.Thread(target=srv.serve_forever, daemon=True).start()
        servers[name] = srv
    stock = functools.partial(http.server.SimpleHTTPRequestHandler, directory=args.files)
    files = http.server.ThreadingHTTPServer((LOOPBACK, 0), stock)
    files.daemon_threads = True
    threading.Thread(target=files.serve_forever, daemon=True).start()
    servers["FILES"] = files
    tmp = args.portfile + ".tmp"
    with open(tmp, "w") as f:
        for name, srv in servers.items():
            f.write("%s=%d\n" % (name, srv.server_address[1]))
    os.rename(tmp, args.portfile)

    time.sleep(args.lifetime)
    os._exit(0)


if __name__ == "__main__":
    main()
