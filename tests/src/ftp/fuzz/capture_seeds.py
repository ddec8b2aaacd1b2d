#!/usr/bin/python3
"""Captures the fuzz seeds of the FTP reply and listing readers from pyftpdlib on 127.0.0.1.

  capture_seeds.py OUTDIR

Starts ../ftp_peer.py over a temporary home with a few files, folders and a link, talks to it
over raw sockets and writes what the server sent: OUTDIR/replies/*.txt (control connection
bytes) and OUTDIR/listings/*.txt (LIST data). The DOS listings beside them are written by hand.
"""

import os
import re
import socket
import subprocess
import sys
import tempfile


def main(out):
    home = tempfile.mkdtemp()
    os.makedirs(os.path.join(home, "sub folder", "inner"))
    os.makedirs(os.path.join(home, "images"))
    files = {"index.php": b"<?php echo 1;\n", "style.css": b"body {}\n" * 40,
             "read me.txt": b"x" * 1234, "images/logo.png": b"\x89PNG" * 300,
             "sub folder/page.php": b"<?php\n"}
    for name, data in files.items():
        with open(os.path.join(home, name), "wb") as f:
            f.write(data)
    os.symlink("index.php", os.path.join(home, "link.php"))
    os.chmod(os.path.join(home, "style.css"), 0o600)
    here = os.path.dirname(os.path.abspath(__file__))
    peer = subprocess.Popen(["/usr/bin/python3", os.path.join(here, "..", "ftp_peer.py"), "server", home],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        port = int(peer.stdout.readline())
        capture(port, out)
    finally:
        peer.kill()


def capture(port, out):
    control = socket.create_connection(("127.0.0.1", port))
    received = bytearray()

    def reply():
        data = b""
        while True:
            data += control.recv(65536)
            lines = data.split(b"\r\n")
            first = lines[0]
            if len(first) >= 4 and first[3:4] == b" " and data.endswith(b"\r\n"):
                break
            if len(first) >= 4 and first[3:4] == b"-" and any(
                    line.startswith(first[:3] + b" ") for line in lines[1:]) and data.endswith(b"\r\n"):
                break
        received.extend(data)
        return data.decode("latin-1")

    def command(line):
        control.sendall(line.encode() + b"\r\n")
        return reply()

    def listing(argument=None):
        text = command("PASV")
        numbers = [int(n) for n in re.search(r"\((.*)\)", text).group(1).split(",")]
        data = socket.create_connection(("127.0.0.1", numbers[4] * 256 + numbers[5]))
        command("LIST" + (" " + argument if argument else ""))
        chunks = b""
        while True:
            piece = data.recv(65536)
            if not piece:
                break
            chunks += piece
        reply()
        return chunks

    os.makedirs(os.path.join(out, "replies"), exist_ok=True)
    os.makedirs(os.path.join(out, "listings"), exist_ok=True)
    reply()
    for line in ["USER user", "PASS secret", "SYST", "FEAT", "TYPE A", "PWD", "CWD sub folder", "PWD",
                 "CDUP", "MKD new \"quoted\" dir", "RMD new \"quoted\" dir", "SIZE read me.txt", "TYPE I",
                 "SIZE read me.txt", "MDTM index.php", "REST 1", "REST 0", "EPSV", "PASV", "NOOP",
                 "CWD missing", "DELE missing.php", "RNFR missing", "SITE CHMOD 644 index.php",
                 "SITE HELP", "HELP", "STAT", "XYZZY"]:
        command(line)
    session = bytes(received)
    with open(os.path.join(out, "replies", "pyftpdlib-session.txt"), "wb") as f:
        f.write(session)
    # The multi-line replies on their own, as smaller seeds.
    for name, verb in [("feat", "FEAT"), ("help", "HELP"), ("stat", "STAT")]:
        received.clear()
        command(verb)
        with open(os.path.join(out, "replies", "pyftpdlib-" + name + ".txt"), "wb") as f:
            f.write(bytes(received))
    # What the client's own calls hear, in their order: login, type, system, folder, size,
    # time, the resume probe, a no-op and the features.
    received.clear()
    control.close()
    control = socket.create_connection(("127.0.0.1", port))
    reply()
    for line in ["USER user", "PASS secret", "TYPE A", "SYST", "PWD", "TYPE I", "SIZE read me.txt",
                 "MDTM index.php", "REST 1", "REST 0", "NOOP", "FEAT", "QUIT"]:
        command(line)
    with open(os.path.join(out, "replies", "pyftpdlib-client-calls.txt"), "wb") as f:
        f.write(bytes(received))
    control = socket.create_connection(("127.0.0.1", port))
    reply()
    command("USER user")
    command("PASS secret")
    command("TYPE A")
    for name, argument in [("home", None), ("sub-folder", "sub folder"), ("one-file", "read me.txt"),
                           ("empty", "sub folder/inner")]:
        with open(os.path.join(out, "listings", "pyftpdlib-" + name + ".txt"), "wb") as f:
            f.write(listing(argument))
    command("QUIT")


if __name__ == "__main__":
    main(sys.argv[1])
