#!/bin/sh
# port_commands_com.sh PREFIX PROBE EMULATOR SHIM: COM3 of the prefix mapped to a pseudo-terminal
# whose other end is the printer emulator; the COM page and then the self-test request must
# arrive there byte for byte, at the chosen rate. The prefix is one of its own: mapping a port restarts its
# wineserver. Everything started here is stopped at the end, the mapping removed. A probe that
# cannot run here (exit 77 from wine-exec) skips the test.
set -u
prefix=$(realpath -m "$1")
probe=$2
emulator=$3
# Wine's transmit purge would throw away what the pseudo-terminal still holds (see the shim).
export LD_PRELOAD="$4"
. "$(dirname "$0")/port_commands_common.sh"
socat_pid=
cleanup() {
  stop_emulator
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null && wait "$socat_pid" 2>/dev/null
  "$scripts/wine-exec" "$prefix" reg delete 'HKLM\Software\Wine\Ports' /v COM3 /f >/dev/null 2>&1
  "$scripts/wine-stop" "$prefix"
}
trap cleanup EXIT

# The emulator rewrites its one line after every read: wait for the expected bytes.
wait_record() {
  for _ in $(seq 50); do
    [ "$(cat "$work/record" 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "expected at the printer: $1"
}

socat pty,raw,echo=0,link="$work/printer" pty,raw,echo=0,link="$work/com3" &
socat_pid=$!
for _ in $(seq 50); do [ -e "$work/printer" ] && [ -e "$work/com3" ] && break; sleep 0.1; done
[ -e "$work/com3" ] || fail "socat made no pseudo-terminal pair"

"$scripts/wine-exec" "$prefix" reg add 'HKLM\Software\Wine\Ports' /v COM3 \
  /d "$(readlink -f "$work/com3")" /f >/dev/null 2>&1 || fail "COM3 cannot be mapped"
# Wine links its COM ports when the wineserver starts.
"$scripts/wine-stop" "$prefix"

start_emulator serial "$work/printer"

page="$(text_hex 'COM PORT:COM3') 1B 64 07 1D 56 01"
# A printer that does not answer its status requests: one is asked, nothing is shown, and the
# command takes at most about the one answer's wait more.
run_probe com-page COM3
wait_record "$page 10 04 04"
echo "COM page: $page, then 10 04 04 unanswered"
took=$(tr -d '\r' <"$work/probe.log" | sed -n 's/^com-page COM3: \([0-9]*\) ms$/\1/p')
[ "${took:-99999}" -lt 2000 ] || fail "the page with an unanswered status request took $took ms"
# The rate chosen in the dialog is the line's (Windows takes the settings only from the port's
# own block with XON apart from XOFF; Wine takes any).
speed=$(stty -F "$(readlink -f "$work/com3")" speed 2>/dev/null)
[ "$speed" = 115200 ] || fail "COM3 runs at ${speed:-an unknown rate} baud, not the chosen 115200"
echo "line speed: $speed baud"

run_probe com-self-test COM3
wait_record "$page 10 04 04 1F 1B 1F 67 0A 00 10 04 04"
echo "self-test request: 1F 1B 1F 67 0A 00"

# The printer out of paper: the page as before, then the message that names the fault.
end_emulator
start_emulator serial "$work/printer" --state paper-end
run_probe com-page COM3 "The printer is out of paper."
wait_record "$page 10 04 04 10 04 02 10 04 03"
grep -q "^status: 10 04 04 > 72; 10 04 02 > 32; 10 04 03 > 12" "$work/probe.log" ||
  fail "the status answers"
# A ready printer: nothing more than the page.
end_emulator
start_emulator serial "$work/printer" --state ready
run_probe com-page COM3
wait_record "$page 10 04 04 10 04 02 10 04 03"
echo "status: paper end told after the page, ready adds nothing"
exit 0
