#!/usr/bin/env python3
"""A receipt printer on a TCP port of the loopback or on the far end of a pseudo-terminal.

It records every byte it receives and, when asked to, answers the real-time status requests as
the printers' firmware does: DLE EOT 1 (10 04 01) with a status byte, and DLE EOT 4, 2 and 3
with the answers of a state (ready, paper-end, cover-open, ...); unasked, it answers nothing.

  printer_emulator.py tcp 127.0.0.1:9100 --record FILE [--status 16] [--state paper-end] [--ready FILE]
  printer_emulator.py tcp 10.77.0.2:9100 --namespace NS --record FILE ...
  printer_emulator.py serial PATH --record FILE [--status 16] [--ready FILE]

The record holds the bytes as two-digit hex numbers separated by spaces: for TCP one line per
connection, written when the connection ends; for a serial port one line, rewritten after every
read. --ready names a file made once the emulator listens (or has the port open). It ends on
SIGTERM or SIGINT, or after --lifetime seconds (120 by default), so that it never outlives its
test. It listens on loopback addresses only (127.0.0.0/8): the tests send nothing elsewhere.
The one exception is a printer inside a network namespace that a test made: with
--namespace NAME it takes any address, after checking that it really runs inside NAME.

Written for the project because no packaged tool answers the status request.
"""

import argparse
import ipaddress
import os
import selectors
import signal
import socket
import sys
import time



def hex_line(data):
    return " ".join("%02X" % byte for byte in data)


# The answers to DLE EOT 4 (paper sensor), 2 (off-line cause) and 3 (error cause) of each state
# the emulator can be in, as the command reference gives their bits.
STATES = {
    "ready": (0x12, 0x12, 0x12),
    "paper-near-end": (0x1E, 0x12, 0x12),
    "paper-end": (0x72, 0x32, 0x12),
    "cover-open": (0x12, 0x16, 0x12),
    "offline": (0x12, 0x1A, 0x12),
    "cutter-error": (0x12, 0x52, 0x1A),
    "unrecoverable": (0x12, 0x52, 0x32),
}


class Printer:
    """The firmware's part: collects what arrives and answers the real-time requests DLE EOT n
    (n = 1 with --status; 4, 2 and 3 with --state), each once, in the order they came."""

    def __init__(self, status, state=None):
        self.status = status
        self.state = STATES[state] if state else None
        self.received = bytearray()
        self.scanned = 0

    def answer(self, n):
        if n == 1:
            return self.status
        if self.state is not None and n in (4, 2, 3):
            return self.state[{4: 0, 2: 1, 3: 2}[n]]
        return None

    def take(self, chunk):
        self.received += chunk
        reply = bytearray()
        while True:
            at = self.received.find(b"\x10\x04", self.scanned)
            if at < 0 or at + 2 >= len(self.received):
                # Keep a request cut in two for the next chunk.
                self.scanned = max(self.scanned, len(self.received) - 2)
                break
            self.scanned = at + 3
            byte = self.answer(self.received[at + 2])
            if byte is not None:
                reply.append(byte)
        return bytes(reply)


def write_atomically(path, text):
    temporary = path + ".part"
    with open(temporary, "w") as out:
        out.write(text)
    os.replace(temporary, path)


def inside_namespace(name):
    """Whether this process runs inside the network namespace `name` (ip netns)."""
    if not name:
        return False
    try:
        return os.stat("/run/netns/" + name).st_ino == os.stat("/proc/self/ns/net").st_ino
    except OSError:
        return False


def serve_tcp(args, stop):
    host, _, port = args.where.rpartition(":")
    if not ipaddress.ip_address(host).is_loopback and not inside_namespace(args.namespace):
        sys.exit("printer_emulator: listens on loopback addresses only, not %s" % host)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, int(port)))
    listener.listen(8)
    listener.setblocking(False)
    events = selectors.DefaultSelector()
    events.register(listener, selectors.EVENT_READ)
    printers = {}
    lines = []
    ready(args)
    while not stop.is_set():
        for key, _ in events.select(timeout=0.2):
            if key.fileobj is listener:
                connection, _ = listener.accept()
                connection.setblocking(False)
                events.register(connection, selectors.EVENT_READ)
                printers[connection] = Printer(args.status, args.state)
                continue
            connection = key.fileobj
            try:
                chunk = connection.recv(65536)
            except (ConnectionResetError, BlockingIOError):
                chunk = b""
            if chunk:
                reply = printers[connection].take(chunk)
                if reply:
                    connection.sendall(reply)
                continue
            events.unregister(connection)
            connection.close()
            lines.append(hex_line(printers.pop(connection).received))
            write_atomically(args.record, "".join(line + "\n" for line in lines))


def serve_serial(args, stop):
    port = os.open(args.where, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    printer = Printer(args.status, args.state)
    write_atomically(args.record, "")
    ready(args)
    events = selectors.DefaultSelector()
    events.register(port, selectors.EVENT_READ)
    while not stop.is_set():
        if not events.select(timeout=0.2):
            continue
        try:
            chunk = os.read(port, 65536)
        except (BlockingIOError, OSError):
            # The other end is not open (yet, or any more): wait for it.
            time.sleep(0.05)
            continue
        if not chunk:
            time.sleep(0.05)
            continue
        reply = printer.take(chunk)
        if reply:
            os.write(port, reply)
        write_atomically(args.record, hex_line(printer.received) + "\n")


def ready(args):
    if args.ready:
        write_atomically(args.ready, "ready\n")


class Stop:
    def __init__(self, lifetime):
        self.deadline = time.monotonic() + lifetime
        self.signalled = False

    def is_set(self):
        return self.signalled or time.monotonic() > self.deadline


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("kind", choices=["tcp", "serial"])
    parser.add_argument("where", help="ADDRESS:PORT on loopback, or the pseudo-terminal's path")
    parser.add_argument("--record", required=True)
    parser.add_argument("--status", type=lambda text: int(text, 16),
                        help="the status byte in hex that answers DLE EOT 1")
    parser.add_argument("--state", choices=sorted(STATES),
                        help="answer DLE EOT 4, 2 and 3 as a printer in this state does")
    parser.add_argument("--ready")
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--namespace", help="the test's own network namespace this runs in")
    args = parser.parse_args()
    stop = Stop(args.lifetime)

    def end(*_):
        stop.signalled = True

    signal.signal(signal.SIGTERM, end)
    signal.signal(signal.SIGINT, end)
    (serve_tcp if args.kind == "tcp" else serve_serial)(args, stop)


if __name__ == "__main__":
    main()
