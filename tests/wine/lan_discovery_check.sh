#!/bin/sh
# lan_discovery_check.sh PREFIX PROBE: LAN discovery with the Win32 services, for real, on a
# link of network namespaces made here and removed on every outcome:
#
#   computer  10.77.0.1/24  the probe under Wine, with a wineserver of its own inside
#   printer1  10.77.0.2/24  an emulator that answers; later switched off and deaf to echoes
#   printer2  10.77.0.3/24  first an emulator whose 300-byte replies must be refused, then one
#                           whose answer must drop printer1 and be listed only a cycle later
#   printer3  10.78.0.5/24  an emulator outside the computer's segment on the same link, which
#                           must receive the configuration packet
#
# A probe that cannot run here (exit 77 from wine-exec) or a machine without network
# namespaces skips the test.
set -u
prefix=$(realpath -m "$1")
probe=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
emulator=$(cd "$here/../emulator" && pwd)/discovery_responder.py
. "$scripts/wine-env"
. "$here/lan_namespaces.sh"

skip_unless_runnable "$probe"
lan_session "$prefix" || exit 77

fail() {
  echo "FAILED: $*"
  echo "--- probe"; cat "$work/probe.log"
  for log in "$work"/printer*.log; do echo "--- $(basename "$log")"; cat "$log"; done
  exit 1
}

computer=$lan_tag-pc
node "$computer" pc0 10.77.0.1/24 02:4b:53:00:00:01 || fail "the computer's namespace"
node "$lan_tag-p1" p1 10.77.0.2/24 02:4b:53:00:00:02 || fail "printer1's namespace"
node "$lan_tag-p2" p2 10.77.0.3/24 02:4b:53:00:00:03 || fail "printer2's namespace"
node "$lan_tag-p3" p3 10.78.0.5/24 02:4b:53:00:00:05 || fail "printer3's namespace"

# printer NAME NS [ARGS]: starts an emulator; its process id in $NAME_pid.
printer() {
  name=$1 ns=$2
  shift 2
  ip netns exec "$ns" python3 "$emulator" --log "$work/$name.log" "$@" &
  eval "${name}_pid=$!"
  wait_for "$work/$name.log" '^listening' 10 || fail "$name's emulator did not start"
}

in_computer() {
  ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$@"
}

# The wineserver must start inside the computer's namespace: none may run for the prefix.
"$scripts/wine-stop" "$prefix"
ip netns exec "$computer" "$scripts/wine-prefix" "$prefix" || fail "the Wine prefix"
: >"$work/probe.log"
stop=$work/stop
in_computer "$probe" discover 120 "$(windows_path "$stop")" >"$work/probe.log" 2>&1 &
probe_pid=$!

printer printer1 "$lan_tag-p1"
printer printer2 "$lan_tag-p2" --reply-size 300
wait_for "$work/probe.log" '^socket ' 60 || fail "the probe did not start"
grep -q '^socket open local=10\.77\.0\.1/255\.255\.255\.0_$' "$work/probe.log" ||
  fail "the socket or the computer's address list"
grep -q '^02-4B-53-00-00-01$' "$work/probe.log" || fail "the adapter's hardware address trace"

echo "phase 1: printer1 answers, printer2's replies are too long"
wait_for "$work/probe.log" 'list=\[10\.77\.0\.2\]$' 20 || fail "printer1 is not listed"
wait_for "$work/printer2.log" '^probe from 10\.77\.0\.1:5001$' 10 || fail "printer2 got no probe"
sleep 2
grep -q '10\.77\.0\.3' "$work/probe.log" && fail "a 300-byte reply was listed"

echo "phase 2: printer1 switched off and deaf to echoes; printer2 answers"
in_computer "$probe" echo 10.77.0.2 >"$work/echo-on.log" 2>&1
grep -q '^reachable=1 ' "$work/echo-on.log" || fail "printer1 does not answer the echo: $(cat "$work/echo-on.log")"
kill "$printer1_pid" "$printer2_pid"
wait "$printer1_pid" "$printer2_pid" 2>/dev/null
ip netns exec "$lan_tag-p1" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
in_computer "$probe" echo 10.77.0.2 >"$work/echo-off.log" 2>&1
echo "  echo to the switched-off printer: $(cat "$work/echo-off.log")"
ms=$(sed -n 's/^reachable=0 ms=\([0-9]*\)$/\1/p' "$work/echo-off.log")
[ -n "$ms" ] && [ "$ms" -ge 900 ] && [ "$ms" -le 3000 ] ||
  fail "an unanswered echo should fail after about a second"
sleep 1  # cycles without answers: nothing is checked, nothing changes
grep 'list=' "$work/probe.log" | tail -1 | grep -q 'list=\[10\.77\.0\.2\]$' ||
  fail "the list changed while nobody answered"
mark=$(wc -l <"$work/probe.log")
printer printer2 "$lan_tag-p2"
wait_for "$work/probe.log" 'list=\[10\.77\.0\.3\]$' 20 || fail "printer2 is not listed"
lists=$(tail -n +"$((mark + 1))" "$work/probe.log" | sed -n 's/.*list=\(\[.*\]\)$/\1/p' | uniq |
  tr '\n' ' ')
echo "  lists since printer2 answers: $lists"
case $lists in
  "[10.77.0.2] [] [10.77.0.3] "* | "[] [10.77.0.3] "*) ;;
  *) fail "printer1 must go on printer2's answer, and printer2 be listed only after" ;;
esac

echo "phase 3: printer3, outside the computer's segment, answers"
printer printer3 "$lan_tag-p3"
wait_for "$work/printer3.log" '^config ' 20 || fail "printer3 got no configuration packet"
grep -q '^config ok ' "$work/printer3.log" || fail "the configuration packet differs"
grep '^config ' "$work/printer3.log" | head -1
grep -q '10\.78\.0\.5' "$work/probe.log" && fail "printer3 was listed"

echo "the end: the dialog closes while discovery runs"
touch "$stop"
wait_for "$work/probe.log" '^stopped ' 15 || fail "the probe did not stop"
wait "$probe_pid" || fail "the probe exited with $?"
tail -1 "$work/probe.log"
echo "passed"
exit 0
