#!/bin/sh
# port_commands_lan.sh PREFIX PROBE EMULATOR: the LAN page and the self-test over Winsock to
# the printer emulator on 127.0.0.1:9100, byte for byte; then the LAN page to 127.0.0.2, where
# nothing listens, which must fail after its connect attempts with the failure message. Loopback
# only. A probe that cannot run here (exit 77 from wine-exec) skips the test.
set -u
prefix=$(realpath -m "$1")
probe=$2
emulator=$3
. "$(dirname "$0")/port_commands_common.sh"
trap stop_emulator EXIT

# The emulator writes a line when a connection ends: wait for the count.
wait_lines() {
  for _ in $(seq 50); do
    [ "$(wc -l <"$work/record" 2>/dev/null || echo 0)" -ge "$1" ] && return 0
    sleep 0.1
  done
  fail "the emulator recorded fewer than $1 connections"
}

start_emulator tcp 127.0.0.1:9100

# After each delivered command the printer is asked for its paper sensor (DLE EOT 4); this one
# does not answer, so nothing more is asked and nothing more shown.
page="$(text_hex 'LAN IP ADDRESS:127.0.0.1') 1B 64 07 1D 56 01 10 04 04"
self_test="1F 1B 1F 67 0A 00 10 04 04"

run_probe lan-page 127.0.0.1
wait_lines 1
[ "$(sed -n 1p "$work/record")" = "$page" ] || fail "the LAN page"
echo "LAN page: $page"

# The self-test leaves its connection open; the page's SelectPort closes it and connects anew.
run_probe lan-self-test-page 127.0.0.1
wait_lines 3
[ "$(sed -n 2p "$work/record")" = "$self_test" ] || fail "the self-test request"
[ "$(sed -n 3p "$work/record")" = "$page" ] || fail "the LAN page after the self-test"
echo "self-test, then the page on a second connection: as expected"

# A printer whose cover is open: the page, then the message; one that is ready: the page only.
end_emulator
start_emulator tcp 127.0.0.1:9100 --state cover-open
run_probe lan-page 127.0.0.1 "The printer's cover is open."
wait_lines 1
[ "$(sed -n 1p "$work/record")" = "$page 10 04 02 10 04 03" ] || fail "the cover-open exchange"
end_emulator
start_emulator tcp 127.0.0.1:9100 --state ready
run_probe lan-page 127.0.0.1
wait_lines 1
echo "status: the open cover told after the page, ready adds nothing"

# Nothing may listen on 127.0.0.2:9100 for the failure case to mean anything.
if python3 -c 'import socket,sys; s=socket.socket(); s.settimeout(1); sys.exit(s.connect_ex(("127.0.0.2", 9100)) != 0)'; then
  fail "something listens on 127.0.0.2:9100"
fi
run_probe lan-page-fails 127.0.0.2
[ "$(wc -l <"$work/record")" -eq 1 ] || fail "the failing page reached the emulator"
exit 0
