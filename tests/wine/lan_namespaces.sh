# Sourced by the LAN discovery scripts: a private link of network namespaces that the script
# makes and removes, so that broadcasts and echoes never reach any other network.
#
#   LINK      a namespace holding only bridges (br0, and more from `bridge`)
#   node NS IF ADDRESS MAC [BRIDGE]   a namespace on a bridge (br0) with one veth, the address,
#             and a default route out of that veth (a broadcast to 255.255.255.255 needs a route)
#   adapter NS IF ADDRESS MAC BRIDGE   one more veth of an existing namespace, on a bridge
#   two_adapter_computer NS   a shop's computer: a wired 10.50.3.7/16 on br0 beside a Wi-Fi
#             192.168.77.9/24 on br1, which holds the default route
#
# Names carry the script's process id, so parallel runs never meet. lan_cleanup ends every
# process inside these namespaces (they are all the script's own), then removes them.
# shellcheck shell=sh

lan_tag="kd$$"
LINK="$lan_tag-link"
lan_namespaces=""

# lan_session PREFIX: a scratch folder in $work; on every way out the namespaces, the prefix's
# wineserver (started inside them) and the folder are removed. False where namespaces cannot be
# made (the caller skips). Needs $scripts, the project's scripts folder.
lan_session() {
  lan_prefix=$1
  work=$(mktemp -d)
  trap lan_finish EXIT
  trap 'exit 1' INT TERM
  lan_can_run
}

lan_finish() {
  lan_cleanup
  "$scripts/wine-stop" "$lan_prefix"
  rm -rf "$work"
}

lan_can_run() {
  [ "$(id -u)" = 0 ] || { echo "skipped: network namespaces need root" >&2; return 1; }
  command -v ip >/dev/null || { echo "skipped: iproute2 is missing" >&2; return 1; }
  ip netns add "$LINK" 2>/dev/null || {
    echo "skipped: this machine refuses network namespaces" >&2
    return 1
  }
  lan_namespaces=$LINK
  ip -n "$LINK" link add br0 type bridge && ip -n "$LINK" link set br0 up
}

# bridge NAME: another link, apart from br0.
bridge() {
  ip -n "$LINK" link add "$1" type bridge && ip -n "$LINK" link set "$1" up
}

adapter() {
  ns=$1 ifname=$2 address=$3 mac=$4 link=$5
  ip -n "$LINK" link add "b-$ifname" type veth peer name "$ifname" netns "$ns" &&
    ip -n "$LINK" link set "b-$ifname" master "$link" up &&
    ip -n "$ns" link set "$ifname" address "$mac" &&
    ip -n "$ns" addr add "$address" dev "$ifname" &&
    ip -n "$ns" link set "$ifname" up
}

node() {
  ns=$1 ifname=$2 address=$3 mac=$4 link=${5:-br0}
  ip netns add "$ns" || return 1
  lan_namespaces="$lan_namespaces $ns"
  ip -n "$ns" link set lo up &&
    adapter "$ns" "$ifname" "$address" "$mac" "$link" &&
    ip -n "$ns" route add default dev "$ifname"
}

two_adapter_computer() {
  bridge br1 &&
    node "$1" pcw 10.50.3.7/16 02:4b:53:00:01:01 &&
    ip -n "$1" route del default &&
    adapter "$1" pcf 192.168.77.9/24 02:4b:53:00:01:02 br1 &&
    ip -n "$1" route add default dev pcf
}

# lan_processes: the ids of every process inside the namespaces.
lan_processes() {
  for ns in $lan_namespaces; do ip netns pids "$ns" 2>/dev/null; done
}

lan_cleanup() {
  pids=$(lan_processes)
  [ -n "$pids" ] && kill $pids 2>/dev/null
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ -z "$(lan_processes)" ] && break
    sleep 0.2
  done
  pids=$(lan_processes)
  [ -n "$pids" ] && kill -9 $pids 2>/dev/null
  for ns in $lan_namespaces; do ip netns del "$ns" 2>/dev/null; done
  lan_namespaces=""
}

# wait_for FILE PATTERN SECONDS: true once a line of FILE matches the extended PATTERN.
wait_for() {
  tries=$(($3 * 5))
  while [ "$tries" -gt 0 ]; do
    grep -Eq "$2" "$1" 2>/dev/null && return 0
    sleep 0.2
    tries=$((tries - 1))
  done
  return 1
}

# windows_path PATH: the same file as the prefix's Z: drive shows it.
windows_path() {
  printf 'Z:%s' "$1" | tr / '\\'
}
