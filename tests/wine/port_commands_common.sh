# Sourced by the port-command checks (port_commands_lan.sh, port_commands_com.sh) after they
# have set prefix, probe and emulator: the skip of a probe that cannot run here, the working
# folder, the emulator's start and stop, and the helpers the checks share.
# shellcheck shell=sh
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
. "$scripts/wine-env"
# Before anything is started: a 32-bit probe on a machine that cannot run it is a skip.
skip_unless_runnable "$probe"
work=$(mktemp -d)
emulator_pid=

# Stops the emulator.
end_emulator() {
  [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null && wait "$emulator_pid" 2>/dev/null
  emulator_pid=
}

# Stops the emulator and removes the working folder; the checks call it from their own trap.
stop_emulator() {
  end_emulator
  rm -rf "$work"
}

fail() {
  echo "FAILED: $*"
  [ -f "$work/record" ] && { echo "the emulator received:"; cat "$work/record"; }
  exit 1
}

# start_emulator KIND WHERE [OPTION...]: the printer emulator recording into a new
# $work/record (the options such as --state go to it).
start_emulator() {
  kind=$1 where=$2
  shift 2
  rm -f "$work/record" "$work/ready"
  python3 "$emulator" "$kind" "$where" --record "$work/record" --ready "$work/ready" \
    --lifetime 120 "$@" &
  emulator_pid=$!
  for _ in $(seq 50); do [ -f "$work/ready" ] && return 0; sleep 0.1; done
  fail "the emulator is not ready on $where"
}

# The bytes of a text and its terminating zero, as the emulator writes them.
text_hex() {
  printf '%s' "$1" | od -An -v -t x1 | tr -s ' \n' ' ' | sed -e 's/^ //' -e 's/ $//' |
    tr a-f A-F | sed 's/$/ 00/'
}

run_probe() {
  "$scripts/wine-exec" "$prefix" "$probe" "$@" >"$work/probe.log" 2>&1
  status=$?
  cat "$work/probe.log"
  [ "$status" = 77 ] && exit 77
  [ "$status" = 0 ] || fail "the probe ($*) exited with $status"
}
