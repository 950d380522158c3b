#!/bin/sh
# unattended_lan_bench.sh PREFIX BENCH [N] [com]: the unattended installation benchmark (see
# unattended_lan_bench_win32.cpp) against the printer emulator on 127.0.0.1:9100, in a prefix of
# its own (the printer it installs stays there, for the next runs to reuse); the emulator answers
# its status as a ready printer does. Loopback only.
set -u
prefix=$(realpath -m "$1")
bench=$(realpath "$2")
runs=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
work=$(mktemp -d)
python3 "$here/../emulator/printer_emulator.py" tcp 127.0.0.1:9100 --record "$work/record" \
  --ready "$work/ready" --lifetime 900 --state ready &
emulator=$!
trap 'kill $emulator 2>/dev/null; "$scripts/wine-stop" "$prefix"; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -f "$work/ready" ] && break; sleep 0.1; done
"$scripts/wine-prefix" "$prefix" || exit 1
tcpip='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports'
"$scripts/wine-exec" "$prefix" reg add "$tcpip" /f >/dev/null
"$scripts/wine-exec" "$prefix" "$bench" "$runs" ${4:-}
