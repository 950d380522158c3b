#!/bin/sh
# discovery_cpu_measure.sh PREFIX PROBE [SECONDS] [CASE]: the processor time LAN discovery
# costs under Wine, measured from /proc over SECONDS (30) of discovery running the way the
# dialog runs it, inside network namespaces made here and removed afterwards. CASE:
#   silent     nobody answers (the default)
#   noport     nobody answers and port 5001 is taken, so the socket cannot be opened
#   answering  one printer emulator answers every probe
#   twoadapters  a wired adapter 10.50.3.7/16 with a printer 10.50.5.20 beside a Wi-Fi adapter
#              192.168.77.9/24 that holds the default route, with a printer 192.168.77.30;
#              both printers answer
#   twoidle    the same computer with nobody answering
# Prints the processor time of the probe's process, of the wineserver and of the other Wine
# processes of the prefix (the device services), in seconds and as a share of one core.
set -u
prefix=$(realpath -m "$1")
probe=$(realpath "$2")
seconds=${3:-30}
case=${4:-silent}
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
emulator=$(cd "$here/../emulator" && pwd)/discovery_responder.py
. "$scripts/wine-env"
. "$here/lan_namespaces.sh"
. "$here/processor_time.sh"

lan_session "$prefix" || exit 77
computer=$lan_tag-pc
if [ "$case" = twoadapters ] || [ "$case" = twoidle ]; then
  two_adapter_computer "$computer" || exit 1
  if [ "$case" = twoadapters ]; then
    node "$lan_tag-w" pw 10.50.5.20/16 02:4b:53:00:01:03 || exit 1
    node "$lan_tag-f" pf 192.168.77.30/24 02:4b:53:00:01:04 br1 || exit 1
    ip netns exec "$lan_tag-w" python3 "$emulator" --log "$work/wired.log" &
    ip netns exec "$lan_tag-f" python3 "$emulator" --log "$work/wifi.log" &
  fi
else
  node "$computer" pc0 10.77.0.1/24 02:4b:53:00:00:01 || exit 1
fi
if [ "$case" = answering ]; then
  node "$lan_tag-p1" p1 10.77.0.2/24 02:4b:53:00:00:02 || exit 1
  ip netns exec "$lan_tag-p1" python3 "$emulator" --log "$work/printer1.log" &
fi
if [ "$case" = noport ]; then
  ip netns exec "$computer" python3 -c '
import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("0.0.0.0", 5001))
time.sleep(100000)' &
fi

"$scripts/wine-stop" "$prefix"
ip netns exec "$computer" "$scripts/wine-prefix" "$prefix" || exit 1
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$probe" discover $((seconds + 10)) \
  >"$work/probe.log" 2>&1 &
wait_for "$work/probe.log" '^socket ' 60 || { cat "$work/probe.log"; exit 1; }
grep '^socket ' "$work/probe.log"
sleep 3  # start-up done

wine_pids() {
  for pid in $(ip netns pids "$computer"); do
    case $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) in
      *python3*) ;;
      *) echo "$pid" ;;
    esac
  done
}
cycles_before=$(grep -c '^cycle ' "$work/probe.log")
measure "$seconds" $(wine_pids)
cycles=$(($(grep -c '^cycle ' "$work/probe.log") - cycles_before))
echo "case $case, $elapsed s of discovery, $cycles cycles ($(awk -v c="$cycles" -v e="$elapsed" 'BEGIN { printf "%.1f", c / e }')/s)"
[ "$case" = answering ] && echo "  probes the printer answered: $(grep -c '^probe from' "$work/printer1.log")"
[ "$case" = twoadapters ] && echo "  listed at the end: $(grep '^cycle ' "$work/probe.log" | tail -1 | sed 's/.*list=//')"
exit 0
