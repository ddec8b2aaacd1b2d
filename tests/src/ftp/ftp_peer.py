#!/usr/bin/python3
"""The FTP peers of the tests, on 127.0.0.1 at a free port that is printed first.

  ftp_peer.py server HOME [anonymous] [slow]
      pyftpdlib serving HOME to "user" / "secret" (and to anonymous logins with "anonymous");
      with "slow", data flows at 4 MB/s each way, so that a demo can watch a transfer.
  ftp_peer.py proxy MODE UPSTREAM_PORT PROXY_USER PROXY_PASS LOG
      a fake FTP proxy for one login style (usersite, site, open, userpass, transparent); it
      writes every line the client sends to LOG, logs in upstream as the style says and then
      relays the control connection (data connections go to the server directly).
"""

import socket
import sys
import threading


def serve(home, anonymous, slow):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "secret", home, perm="elradfmwMT")
    if anonymous:
        authorizer.add_anonymous(home, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    if slow:
        from pyftpdlib.handlers import ThrottledDTPHandler
        ThrottledDTPHandler.read_limit = 4 * 1024 * 1024
        ThrottledDTPHandler.write_limit = 4 * 1024 * 1024
        handler.dtp_handler = ThrottledDTPHandler
    handler.auth_failed_timeout = 0.1
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


class Line:
    def __init__(self, sock):
        self.sock = sock
        self.buffer = b""

    def read(self):
        while b"\n" not in self.buffer:
            data = self.sock.recv(4096)
            if not data:
                raise EOFError()
            self.buffer += data
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.rstrip(b"\r").decode("utf-8", "replace")

    def reply(self):
        first = self.read()
        lines = [first]
        if len(first) > 3 and first[3] == "-":
            while True:
                line = self.read()
                lines.append(line)
                if line[:3] == first[:3] and line[3:4] == " ":
                    break
        return "\r\n".join(lines) + "\r\n"


def relay(source, target):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    for sock in (source, target):
        try:
            sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def proxy_session(client, mode, upstream_port, proxy_user, proxy_pass, log):
    lines = Line(client)

    def send(text):
        client.sendall((text + "\r\n").encode())

    def receive():
        line = lines.read()
        with open(log, "a") as f:
            f.write(line + "\n")
        return line

    def open_upstream(site):
        host, _, port = site.rpartition(":")
        if not host:
            host, port = site, "21"
        upstream = socket.create_connection((host, int(port)))
        reader = Line(upstream)
        reader.reply()
        return upstream, reader

    def proxy_login():
        if receive() != "USER " + proxy_user:
            send("530 wrong proxy user")
            return False
        send("331 proxy password please")
        if receive() != "PASS " + proxy_pass:
            send("530 wrong proxy password")
            return False
        send("230 proxy login ok")
        return True

    try:
        send("220 fake proxy ready")
        if mode in ("usersite", "site", "open", "transparent") and proxy_user:
            if not proxy_login():
                return
        if mode == "transparent":
            upstream, reader = open_upstream("127.0.0.1:%d" % upstream_port)
        elif mode == "usersite":
            command = receive()
            user, _, site = command[5:].partition("@")
            upstream, reader = open_upstream(site)
            upstream.sendall(("USER " + user + "\r\n").encode())
            client.sendall(reader.reply().encode())
        elif mode in ("site", "open"):
            command = receive()
            verb, _, site = command.partition(" ")
            if verb != mode.upper():
                send("500 expected " + mode.upper())
                return
            upstream, reader = open_upstream(site)
            send("220 connected to " + site)
        elif mode == "userpass":
            command = receive()
            parts = command[5:].split("@")
            user, site = parts[0], parts[-1]
            if proxy_user and (len(parts) != 3 or parts[1] != proxy_user):
                send("530 wrong proxy user")
                return
            upstream, reader = open_upstream(site)
            upstream.sendall(("USER " + user + "\r\n").encode())
            client.sendall(reader.reply().encode())
            password = receive()[5:]
            if proxy_user:
                password, _, given = password.rpartition("@")
                if given != proxy_pass:
                    send("530 wrong proxy password")
                    return
            upstream.sendall(("PASS " + password + "\r\n").encode())
            client.sendall(reader.reply().encode())
        else:
            send("500 unknown mode")
            return
        # From here on the conversation is the server's; what the client sends is still logged.
        rest = reader.buffer
        if rest:
            client.sendall(rest)
        threading.Thread(target=relay, args=(upstream, client), daemon=True).start()
        while True:
            line = receive()
            upstream.sendall((line + "\r\n").encode())
    except (EOFError, OSError):
        pass
    finally:
        client.close()


def proxy(mode, upstream_port, proxy_user, proxy_pass, log):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print(listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=proxy_session,
                         args=(client, mode, upstream_port, proxy_user, proxy_pass, log),
                         daemon=True).start()


def end_with_parent():
    # A test that is killed must not leave its servers behind.
    try:
        import ctypes
        import signal
        ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


if __name__ == "__main__":
    end_with_parent()
    if sys.argv[1] == "server":
        serve(sys.argv[2], "anonymous" in sys.argv[3:], "slow" in sys.argv[3:])
    else:
        proxy(sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5], sys.argv[6])
