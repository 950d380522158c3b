#!/bin/sh
# program_cpu_measure.sh PREFIX PROGRAM PROBE [SECONDS]: run on a display of its own
# (scripts/with-xvfb). The processor time the running program costs with LAN chosen and nobody
# answering its probes: the program and its wineserver run inside a network namespace made here,
# on a link to no one, and LAN is chosen from outside by PROBE (the gui_probe). Prints, over
# SECONDS (30), the share of one core of the program, the wineserver and the prefix's other
# Wine processes. Everything made here is removed afterwards.
set -u
prefix=$(realpath -m "$1")
program=$(realpath "$2")
probe=$(realpath "$3")
seconds=${4:-30}
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
. "$scripts/wine-env"
. "$here/lan_namespaces.sh"
. "$here/processor_time.sh"

lan_session "$prefix" || exit 77
computer=$lan_tag-pc
node "$computer" pc0 10.77.0.1/24 02:4b:53:00:00:01 || exit 1
"$scripts/wine-stop" "$prefix"
ip netns exec "$computer" "$scripts/wine-prefix" "$prefix" || exit 1
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$program" >"$work/program.log" 2>&1 &
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$probe" wait || exit 1
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$probe" click 1049
ip netns exec "$computer" "$scripts/wine-exec" "$prefix" "$probe" items 1059 5 'Searching IP' ||
  exit 1
sleep 3  # the start-up and the first cycles are done
echo "LAN chosen, nobody answering; over $seconds s:"
measure "$seconds" $(ip netns pids "$computer")
exit 0
