#!/usr/bin/env python3
"""A stand-in for the maker's update script, on loopback only. The answer is chosen by the
configversion the editor sends, so one server serves every case of the tests:
  newer    a newer version: a question, then the download address
  current  no newer version: one information line
  hostile  addresses that are not web addresses, and one that is
  lower    keys written in lower case
  echo     the request line and agent text sent back as an information line
  empty    200 with an empty body
  broken   bytes that are not HTTP at all, then the connection closes
  error    a 500 reply
  silent   accepts, reads the request and never answers
  flood    200 without a length, then data without end (until the client goes, or 20 s)
The port goes to --portfile as PORT=n."""
import argparse, http.server, socketserver, sys, threading, time, urllib.parse

ANSWERS = {
    "newer": "DISPLAYQUESTIONMESSAGE=Version 3.10 is available. Download it now?\r\n"
             "GOTOURL=https://www.nortavia.com/download/zel310.html\r\n"
             "DISPLAYINFOMESSAGE=Thank you for using ZEL Orvalent Lite.\r\n",
    "current": "DISPLAYINFOMESSAGE=You are using the latest version.\r\n",
    "hostile": "GOTOURL=C:\\Windows\\system32\\calc.exe\r\n"
               "GOTOURL=file:///C:/Windows/win.ini\r\n"
               "GOTOURL=https://x.example/ -dangerous \"arg\"\r\n"
               "GOTOURL=javascript:alert(1)\r\n"
               "GOTOURL=\r\n"
               "GOTOURL=HTTP://www.nortavia.com/news.html\r\n",
    "lower": "displayerrormessage=The server is being updated.\r\nsome other line\r\n",
    "empty": "",
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s\n" % (fmt % args))

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        mode = query.get("configversion", [""])[0]
        if url.path != "/php/updatechecklite.php3":
            self.send_error(404)
            return
        if mode == "silent":
            time.sleep(20)
            return
        if mode == "flood":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.end_headers()
            chunk = b"DISPLAYINFOMESSAGE=" + b"x" * 65000 + b"\r\n"
            end = time.time() + 20
            try:
                while time.time() < end:
                    self.wfile.write(chunk)
            except OSError:
                pass
            return
        if mode == "broken":
            self.wfile.write(b"\x00\xff\xfe garbage that is not a reply\r\n\r\n")
            return
        if mode == "error":
            self.send_error(500, "Script failed")
            return
        if mode == "echo":
            body = "DISPLAYINFOMESSAGE=%s|%s\r\n" % (self.requestline, self.headers.get("User-Agent", ""))
        else:
            body = ANSWERS.get(mode, "DISPLAYERRORMESSAGE=unknown case %s\r\n" % mode)
        data = body.encode("latin-1")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--portfile", required=True)
    ap.add_argument("--lifetime", type=int, default=240)
    a = ap.parse_args()
    srv = Server(("127.0.0.1", 0), Handler)
    threading.Timer(a.lifetime, srv.shutdown).start()
    with open(a.portfile + ".tmp", "w") as f:
        f.write("PORT=%d\n" % srv.server_address[1])
    import os
    os.rename(a.portfile + ".tmp", a.portfile)
    srv.serve_forever()


if __name__ == "__main__":
    main()
