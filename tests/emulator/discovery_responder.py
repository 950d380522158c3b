#!/usr/bin/env python3
"""A printer's side of LAN discovery, for tests inside network namespaces of their own.

Listens on UDP port 1460 on every interface. A discovery probe ("QX0001FIND" and a zero byte)
is answered from port 1460 with a reply that starts with "Q"; a configuration packet
("QX0001SAVE", 64 bytes) is compared with the one the program must build from this reply and
recorded. Every event is one line in the log file:

    probe from 10.77.0.1:5001
    config ok 5158303030315341...      (or: config wrong <hex>, expected <hex>)

Ends on SIGTERM or SIGINT. Only run it inside a namespace that the test made: it answers
whoever probes.
"""

import argparse
import signal
import socket
import sys
import time

PORT = 1460
PROBE = b"QX0001FIND\x00"
SAVE = b"QX0001SAVE"


def make_reply(size):
    """A reply of `size` bytes: the probe's command echoed, then bytes counting up."""
    body = bytearray(b"QX0001FIND")
    while len(body) < size:
        body.append(len(body) & 0xFF)
    return bytes(body[:size])


def expected_configuration(reply):
    """The 64-byte packet the program sends back for `reply`."""
    padded = reply + bytes(max(0, 64 - len(reply)))
    packet = bytearray(SAVE + padded[11:64] + b"\x00")
    packet[16:18] = (16).to_bytes(2, "little")
    packet[30:32] = (9100).to_bytes(2, "little")
    packet[32] = 1
    packet[63] = 0
    return bytes(packet)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--log", required=True, help="file the events are appended to")
    parser.add_argument("--reply-size", type=int, default=80,
                        help="bytes in each reply (256 or more: one the program must refuse)")
    parser.add_argument("--quiet-for", type=float, default=0.0,
                        help="seconds after the first probe during which probes go unanswered, "
                             "so that a test sees the program searching first")
    args = parser.parse_args()

    reply = make_reply(args.reply_size)
    expected = expected_configuration(reply)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    sock.bind(("0.0.0.0", PORT))
    with open(args.log, "a", buffering=1) as log:
        log.write("listening\n")
        try:
            first_probe = None
            while True:
                data, (host, port) = sock.recvfrom(4096)
                if data == PROBE:
                    log.write(f"probe from {host}:{port}\n")
                    first_probe = first_probe or time.monotonic()
                    if time.monotonic() - first_probe >= args.quiet_for:
                        sock.sendto(reply, (host, port))
                elif data.startswith(SAVE):
                    if data == expected:
                        log.write(f"config ok {data.hex()}\n")
                    else:
                        log.write(f"config wrong {data.hex()}, expected {expected.hex()}\n")
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
