#!/bin/sh
# lan_two_adapters_check.sh PREFIX PROBE: LAN discovery with the Win32 services on a computer
# with two adapters, as shops have them, on two links of network namespaces made here and
# removed on every outcome:
#
#   computer  10.50.3.7/16 (wired, printers' link)  and  192.168.77.9/24 (Wi-Fi, default route)
#   wired     10.50.5.20/16   an emulator on the wired link: found, sent no configuration packet
#   wifi      192.168.77.30/24  an emulator on the Wi-Fi link: found
#   foreign   10.78.0.5/24   an emulator on the Wi-Fi link outside both segments: sent the
#                            configuration packet, not listed
#
# The limited broadcast leaves by the default route's adapter alone; the wired printer is found
# only through the probe sent to its segment's broadcast from the wired adapter. A probe that
# cannot run here (exit 77 from wine-exec) or a machine without network namespaces skips it.
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
  for log in "$work"/*-printer.log; do echo "--- $(basename "$log")"; cat "$log"; done
  exit 1
}

computer=$lan_tag-pc
two_adapter_computer "$computer" || fail "the computer's namespace and its two links"
node "$lan_tag-w" pw 10.50.5.20/16 02:4b:53:00:01:03 || fail "the wired printer's namespace"
node "$lan_tag-f" pf 192.168.77.30/24 02:4b:53:00:01:04 br1 || fail "the Wi-Fi printer's namespace"
node "$lan_tag-x" px 10.78.0.5/24 02:4b:53:00:01:05 br1 || fail "the foreign printer's namespace"

printer() {
  name=$1 ns=$2
  ip netns exec "$ns" python3 "$emulator" --log "$work/$name-printer.log" &
  wait_for "$work/$name-printer.log" '^listening' 10 || fail "the $name printer did not start"
}

"$scripts/wine-stop" "$prefix"
ip netns exec "$computer" "$scripts/wine-prefix" "$prefix" || fail "the Wine prefix"
printer wired "$lan_tag-w"
printer wifi "$lan_tag-f"
printer foreign "$lan_tag-x"
: >"$work/probe.log"
stop=$work/stop
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$probe" discover 60 \
  "$(windows_path "$stop")" >"$work/probe.log" 2>&1 &
probe_pid=$!

wait_for "$work/probe.log" '^socket ' 60 || fail "the probe did not start"
grep '^socket ' "$work/probe.log" | head -1
grep -q 'local=.*10\.50\.3\.7/255\.255\.0\.0' "$work/probe.log" || fail "the wired segment"
grep -q 'local=.*192\.168\.77\.9/255\.255\.255\.0' "$work/probe.log" || fail "the Wi-Fi segment"
both='list=\[(10\.50\.5\.20 192\.168\.77\.30|192\.168\.77\.30 10\.50\.5\.20)\]$'
wait_for "$work/probe.log" "$both" 30 || fail "both printers are not listed"
grep -E "$both" "$work/probe.log" | head -1
wait_for "$work/foreign-printer.log" '^config ' 20 || fail "the foreign printer got no configuration packet"
grep -q '^config ok ' "$work/foreign-printer.log" || fail "the configuration packet differs"
sleep 2
grep -q '^config' "$work/wired-printer.log" && fail "the wired printer, on the computer's own segment, was sent a configuration packet"
grep -q '10\.78\.0\.5' "$work/probe.log" && fail "the foreign printer was listed"
echo "wired printer's probes: $(grep -c '^probe from' "$work/wired-printer.log"), from $(grep '^probe from' "$work/wired-printer.log" | sed 's/probe from //; s/:.*//' | sort -u | tr '\n' ' ')"

touch "$stop"
wait_for "$work/probe.log" '^stopped ' 15 || fail "the probe did not stop"
wait "$probe_pid" || fail "the probe exited with $?"
echo "passed"
exit 0
