#!/bin/sh
# lan_idle_cpu.sh PREFIX PROBE: the idle CPU of a LAN search under Wine on the two-adapter
# computer of tests/wine/lan_two_adapters_check.sh (a wired 10.50.3.7/16 for the printers, a
# Wi-Fi 192.168.77.9/24 with the default route; three printer emulators), in network namespaces
# made here and removed on every outcome. Once both printers are listed it counts, for 20 s, the
# CPU time of every process in the computer's namespace (the probe, which drives the search as
# the dialog does with LAN chosen, its wineserver and Wine's own services) and prints it per
# process and as a share of one core. A measurement, not a test: it fails only when the search
# does not find the printers.
#
#   tests/bench/lan_idle_cpu.sh build/win64/wineprefix-cpu build/win64/tests/wine/lan_discovery_probe.exe
set -u
prefix=$(realpath -m "$1")
probe=$(realpath "$2")
here=$(cd "$(dirname "$0")/../wine" && pwd)
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
bridge br1 || fail "the Wi-Fi link"
node "$computer" pcw 10.50.3.7/16 02:4b:53:00:01:01 || fail "the computer's namespace"
ip -n "$computer" route del default || fail "the wired adapter's route"
adapter "$computer" pcf 192.168.77.9/24 02:4b:53:00:01:02 br1 || fail "the Wi-Fi adapter"
ip -n "$computer" route add default dev pcf || fail "the Wi-Fi adapter's default route"
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


ticks() { t=0; for p in $(ip netns pids "$computer"); do
  set -- $(sed 's/^.*) //' /proc/$p/stat 2>/dev/null); [ $# -gt 13 ] && t=$((t + ${12} + ${13})); done; echo $t; }
sleep 3
for p in $(ip netns pids "$computer"); do echo "$p $(tr '\0' ' ' </proc/$p/cmdline | cut -c1-60) $(sed 's/^.*) //' /proc/$p/stat | cut -d' ' -f12,13)"; done > "$work/before"
t0=$(ticks); s0=$(date +%s%N)
sleep 20
t1=$(ticks); s1=$(date +%s%N)
for p in $(ip netns pids "$computer"); do echo "$p $(tr '\0' ' ' </proc/$p/cmdline | cut -c1-60) $(sed 's/^.*) //' /proc/$p/stat | cut -d' ' -f12,13)"; done > "$work/after"
echo "--- before"; cat "$work/before"; echo "--- after"; cat "$work/after"
hz=$(getconf CLK_TCK)
echo "cpu: $((t1 - t0)) ticks of $hz/s in $(( (s1 - s0) / 1000000 )) ms: $(python3 -c "print(round(100*($t1-$t0)/$hz/(($s1-$s0)/1e9),2))") % of a core (probe, wineserver and every process in the computer's namespace)"
touch "$stop"
wait_for "$work/probe.log" '^stopped ' 15 || fail "the probe did not stop"
wait "$probe_pid" || fail "the probe exited with $?"
echo "passed"
exit 0
