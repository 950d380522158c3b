#!/bin/sh
# unattended_test.sh PREFIX PROGRAM PROBE STATE SHIM: run on a display of its own
# (scripts/with-xvfb). The program's unattended command line for real, and no window of it
# anywhere meanwhile (PROBE, the gui_probe, watches):
#   install    RT-58C on COM3 (a pseudo-terminal with the printer emulator): exit 0, the page at
#              the printer, the printer with its data and "115200,n,8,1" (STATE checks); again:
#              the port-in-use code; again with --replace: 0 and still one printer; RT-80 on
#              127.0.0.1 to the TCP emulator: 0; on 127.0.0.2, where nothing listens: the port
#              check's code within 6 s
#   ports      COM3, and COM7 of the prefix's BTHENUM tree with its name
#   printers   what was installed
#   bad input  an unknown model, an address out of range: the bad-arguments code, nothing done
#   uninstall  with RT-58C on COM3 and 127.0.0.3 (a copy) and RT-80 on 127.0.0.1, and a printer
#              of a driver of the test's own: a dry run changes nothing; --model RT-58C takes
#              both RT-58C printers, their driver, the port 127.0.0.3 and COM3's settings and
#              leaves the rest; --all then leaves the spooler, the Ports key and the TCP/IP
#              monitor's key exactly as they were before the first installation
# The program runs inside a network namespace made here with only its loopback, so nothing it
# sends can leave it; the namespace, the prefix's wineserver and every process started here go
# however the script ends.
set -u
prefix=$(realpath -m "$1")
program=$(realpath "$2")
probe=$(realpath "$3")
state=$(realpath "$4")
export LD_PRELOAD="$5"
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
emulators=$(cd "$here/../emulator" && pwd)
. "$scripts/wine-env"
. "$here/lan_namespaces.sh"

skip_unless_runnable "$program"
lan_session "$prefix" || exit 77
outside=""
# The wineserver first: it holds the pseudo-terminal, whose end would hang up on it (and it
# answers a hang-up with a dump of all its objects).
trap '"$scripts/wine-stop" "$prefix"; kill $outside 2>/dev/null; lan_finish' EXIT
computer=$lan_tag-pc
ip netns add "$computer" && lan_namespaces="$lan_namespaces $computer" &&
  ip -n "$computer" link set lo up || exit 1
in_pc() { ip netns exec "$computer" "$@"; }

fail=0
check() {
  if ! "$@"; then
    echo "FAILED: $*"
    fail=1
  fi
}
installed() { check in_pc "$scripts/wine-exec" "$prefix" "$state" "$@"; }
# run EXPECTED-CODE WORDS...: one run of the program, its lines kept in $work/out. Its whole
# exit code comes through the probe: Wine hands a shell only the low eight bits.
run() {
  expected=$1
  shift
  in_pc "$scripts/wine-exec" "$prefix" "$probe" exit-code "$(windows_path "$program")" "$@" \
    >"$work/out" 2>"$work/err"
  code=$(sed -n 's/^exit code \([0-9]*\)\r*$/\1/p' "$work/out")
  sed -i '/^exit code [0-9]*/d' "$work/out"
  sed 's/^/    /' "$work/out"
  if [ "$code" != "$expected" ]; then
    echo "FAILED: exit code $code, expected $expected: $*"
    fail=1
  fi
}
said() {
  grep -qF -- "$1" "$work/out" && return 0
  echo "FAILED: the output lacks: $1"
  fail=1
}
hex() {
  printf "$1" | od -An -v -t x1 | tr a-f A-F | tr -s ' \n' '  ' | sed -e 's/^ //' -e 's/ $//'
}

# COM3 on a pseudo-terminal, COM7 a paired Bluetooth printer in the prefix's BTHENUM tree.
socat "pty,raw,echo=0,link=$work/com3-printer" "pty,raw,echo=0,link=$work/com3" &
outside="$outside $!"
for _ in $(seq 50); do [ -e "$work/com3" ] && break; sleep 0.1; done
"$scripts/wine-stop" "$prefix"
in_pc "$scripts/wine-prefix" "$prefix" || exit 1
wine_reg() { in_pc "$scripts/wine-exec" "$prefix" reg "$@" >/dev/null; }
wine_reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$(readlink -f "$work/com3")" /f
"$scripts/wine-stop" "$prefix"
bth='HKLM\SYSTEM\CurrentControlSet\Enum\BTHENUM'
service='{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002'
wine_reg add "$bth\\$service\\7&1a2b3c&0&001122AABBCC_C00000000\\Device Parameters" \
  /v PortName /d COM7 /f
wine_reg add "$bth\\Dev_001122AABBCC\\7&2f2e3a1b&0&BluetoothDevice_001122AABBCC" \
  /v FriendlyName /d "RT-58 Printer" /f
tcpip='SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports'
wine_reg add "HKLM\\$tcpip" /f
installed cleanup
installed foreign add "Office Laser"
# What the spooler and the registry hold before any installation.
snapshot() {
  {
    in_pc "$scripts/wine-exec" "$prefix" "$state" list
    in_pc "$scripts/wine-exec" "$prefix" "$state" drivers
    in_pc "$scripts/wine-exec" "$prefix" reg query 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
    in_pc "$scripts/wine-exec" "$prefix" reg query "HKLM\\$tcpip" /s
  } 2>/dev/null | tr -d '\r' >"$1"
}
same() {
  cmp -s "$1" "$2" && return 0
  echo "FAILED: $3"
  diff "$1" "$2" | sed 's/^/    /'
  fail=1
}
snapshot "$work/before"

emulator="python3 $emulators/printer_emulator.py"
$emulator serial "$work/com3-printer" --record "$work/com3.rec" --lifetime 600 &
outside="$outside $!"
in_pc $emulator tcp 127.0.0.1:9100 --record "$work/lan.rec" --state ready --lifetime 600 &
outside="$outside $!"
sleep 1

# Nothing of the program shows a window while it runs, whatever the command.
in_pc "$scripts/wine-exec" "$prefix" "$probe" no-window KestravaSetup.exe \
  "$(windows_path "$work/stop")" >"$work/watch" 2>&1 &
watcher=$!
sleep 2

log='C:\users\Public\kestrava-unattended.log'
# The spooler is restarted through the service manager: no net.exe may run, watched from
# outside in the process table while every run below goes on.
( while [ -d "$work" ] && [ ! -e "$work/stop" ]; do
    ps -eo args | grep -i '[n]et\.exe' >>"$work/net-seen"
    echo sample >>"$work/net-samples"
    sleep 0.05
  done ) &
echo "-- install on COM3"
run 0 install --model RT-58C --interface com --port COM3 --baud 115200 --log "$log"
said "done: RT-58C on COM3:"
said "printer status: no answer (10 04 04 > (none))"
grep -qF "$(hex "COM PORT:COM3\000\033\144\007\035\126\001")" "$work/com3.rec" ||
  { echo "FAILED: the printer on COM3 holds $(cat "$work/com3.rec" 2>/dev/null)"; fail=1; }
installed printer RT-58C COM3:
for value in PrinterType=1 PortType=1 PortName=COM3: Language=2 Beeper=4 Cutter=2 \
  'PaperName=RECEIPT(48mm x 297mm)'; do
  installed data RT-58C "${value%%=*}" "${value#*=}"
done
installed value 'SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' COM3: 115200,n,8,1
logged=$(in_pc "$scripts/wine-exec" "$prefix" cmd /c type "$log" 2>/dev/null | tr -d '\r')
for line in "done: RT-58C on COM3:" "printer status: no answer"; do
  printf '%s\n' "$logged" | grep -qF "$line" ||
    { echo "FAILED: the log file lacks \"$line\""; fail=1; }
done
# The support log of the working folder has the run too, with its start and its command, and
# never the path of the run's own log.
support="$prefix/drive_c/Program Files (x86)/Kestrava V8.11/setup.log"
for line in "start: KestravaSetup " "command: install model=RT-58C interface=com port=COM3" \
  "printer status: no answer (10 04 04 > (none))" "done: RT-58C on COM3:"; do
  grep -qF "$line" "$support" || { echo "FAILED: the support log lacks \"$line\""; fail=1; }
done
grep -qF "kestrava-unattended.log" "$support" &&
  { echo "FAILED: the support log names the run's own log"; fail=1; }

echo "-- the same again: the port is in use"
run 1802 install --model RT-58C --interface com --port COM3 --baud 115200
said "port: COM3: already has the printer RT-58C"

echo "-- again with --replace: reused"
run 0 install --model RT-58C --interface com --port COM3 --baud 38400 --replace
said "printer: RT-58C on COM3: updated"
in_pc "$scripts/wine-exec" "$prefix" "$state" list >"$work/list"
[ "$(grep -c 'RT-58C' "$work/list")" = 1 ] ||
  { echo "FAILED: not one RT-58C printer: $(cat "$work/list")"; fail=1; }
installed value 'SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' COM3: 38400,n,8,1

echo "-- LAN on 127.0.0.1"
run 0 install --model RT-80 --interface lan --address 127.0.0.1 --language en --default
said "done: RT-80 on 127.0.0.1"
# The program runs as the prefix's one user, who is the one logged on: the default is theirs.
said "default printer: RT-80"
said "printer status: ready (10 04 04 > 12; 10 04 02 > 12; 10 04 03 > 12)"
grep -qF "$(hex "LAN IP ADDRESS:127.0.0.1\000")" "$work/lan.rec" ||
  { echo "FAILED: the LAN printer holds $(cat "$work/lan.rec" 2>/dev/null)"; fail=1; }
installed printer RT-80 127.0.0.1

echo "-- LAN on 127.0.0.2: nobody listens"
started=$(date +%s%N)
run 1167 install --model RT-80 --interface lan --address 127.0.0.2
took=$(( ($(date +%s%N) - started) / 1000000 ))
echo "    ended after $took ms"
[ "$took" -lt 6000 ] || { echo "FAILED: the port check took $took ms"; fail=1; }
said "port check: failed"

echo "-- ports"
run 0 ports
said "$(printf 'com\tCOM3\tserial port')"
said "$(printf 'ble\tCOM7\tRT-58 Printer')"

echo "-- printers"
run 0 printers
said "$(printf 'RT-58C\tCOM3:\tRT-58C')"
said "$(printf 'RT-80\t127.0.0.1\tRT-80')"

echo "-- bad input"
run 1639 install --model RT-99 --interface com --port COM3
said "bad argument: unknown model RT-99"
run 1639 install --model RT-80 --interface lan --address 256.1.1.1
said "bad argument: 256.1.1.1 is no printer address"

echo "-- uninstall"
run 0 install --model RT-58C --interface lan --address 127.0.0.3 --no-port-check
said "done: RT-58C (copy 1) on 127.0.0.3"
snapshot "$work/installed"
run 0 uninstall --model RT-58C --dry-run
said "printer: RT-58C (copy 1) would be removed"
said "dry run: nothing was changed"
snapshot "$work/dry"
same "$work/installed" "$work/dry" "the dry run changed something"
run 0 uninstall --model RT-58C
said "printer: RT-58C removed"
said "printer: RT-58C (copy 1) removed"
said "driver: RT-58C (Windows x64) removed with its unused files"
said "port: Standard TCP/IP port 127.0.0.3 removed"
said "port: COM3: set back to 9600,n,8,1"
said "spooler: restarted"
in_pc "$scripts/wine-exec" "$prefix" "$state" list >"$work/list"
in_pc "$scripts/wine-exec" "$prefix" "$state" drivers >>"$work/list"
grep -q "RT-58C" "$work/list" && { echo "FAILED: RT-58C is still there: $(cat "$work/list")"; fail=1; }
installed printer RT-80 127.0.0.1
installed printer "Office Laser" LPT1:
installed key "$tcpip\\127.0.0.1"
run 0 uninstall --all
said "printer: RT-80 removed"
snapshot "$work/after"
same "$work/before" "$work/after" "uninstall --all left the machine other than before"
run 1801 uninstall --printer "Office Laser"
said "printer: Office Laser is no printer of this family; left alone"

touch "$work/stop"
wait "$watcher" || { echo "FAILED: $(cat "$work/watch")"; fail=1; }
if [ -s "$work/net-seen" ]; then
  echo "FAILED: net.exe ran: $(sort -u "$work/net-seen" | tr '\n' ' ')"
  fail=1
else
  echo "no net.exe in $(wc -l <"$work/net-samples") looks at the process table"
fi
cat "$work/watch"
installed cleanup
installed foreign remove "Office Laser"
wine_reg delete "$bth" /f
wine_reg delete "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port" /f
exit $fail
