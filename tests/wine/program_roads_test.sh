#!/bin/sh
# program_roads_test.sh PREFIX PROGRAM PROBE STATE SHOTS SHIM PLANTED: run on a display of its own
# (scripts/with-xvfb). Drives the running program by control id from outside (PROBE, the
# gui_probe) along every road a user takes, in Chinese, English and Japanese, and checks what
# the printers received (the printer emulators) and what the installation left in Wine's
# spooler and registry (STATE, the installation_state_probe):
#   USB        no USB printer under Wine: "NO USB" listed, install refused by the port check
#   COM        COM3 on a pseudo-terminal with a printer on the other end: listed within a
#              second, the COM page, the question, the printer on COM3: with its data and
#              "115200,n,8,1"; a second install refused, the port being in use
#   discovery  LAN chosen: "Searching IP", then the printer that answers the probe from its
#              own namespace; choosing it fills the address field; check-port prints there
#   LAN        127.0.0.1 typed, install: the LAN page on 127.0.0.1:9100, the Standard TCP/IP
#              port with its values, the printer on 127.0.0.1
#   BLE        a paired printer in the prefix's BTHENUM tree on COM7 (a pseudo-terminal):
#              listed with its name, the Bluetooth page, the printer on COM7:
#   keys       first, from a fresh start and with key presses only (Tab, the arrows, Enter):
#              COM, 115200, COM3 and RT-58C chosen, the installation started and its test
#              page printed, the focus back on Install Driver, then Escape closes the dialog
# The program runs from a folder of its own, as a download does, with a library of the test's
# own (PLANTED) beside it under the names IPHLPAPI.DLL and WINSPOOL.DRV: after the roads, which
# need both system libraries, the process holds them from the system folder and nothing from
# its own folder, and the planted ones have never been loaded.
# Choosing LAN broadcasts, so the program and its wineserver run inside a network namespace
# made here (the computer at 10.77.0.1), linked only to a printer's namespace (10.77.0.2);
# both are removed, and every process started here stopped, however the script ends.
# Screenshots of each road's dialog and boxes go to SHOTS.
set -u
prefix=$(realpath -m "$1")
program=$(realpath "$2")
probe=$(realpath "$3")
state=$(realpath "$4")
shots=$5
# Wine's transmit purge would throw away what the pseudo-terminals still hold (see the shim).
export LD_PRELOAD="$6"
planted=$(realpath "$7")
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
emulators=$(cd "$here/../emulator" && pwd)
. "$scripts/wine-env"
. "$here/lan_namespaces.sh"

skip_unless_runnable "$program"
mkdir -p "$shots"
lan_session "$prefix" || exit 77
# The serial ports and their printers run outside the namespaces: they go too.
outside=""
printers=""
# The wineserver first: it holds the pseudo-terminals, whose ends would hang up on it (and it
# answers a hang-up with a dump of all its objects).
trap '"$scripts/wine-stop" "$prefix"; kill $outside $printers 2>/dev/null; lan_finish' EXIT
computer=$lan_tag-pc
printer=$lan_tag-p1
node "$computer" pc0 10.77.0.1/24 02:4b:53:00:00:01 || exit 1
node "$printer" p1 10.77.0.2/24 02:4b:53:00:00:02 || exit 1
in_pc() { ip netns exec "$computer" "$@"; }

fail=0
check() {
  "$@"
  status=$?
  if [ "$status" != 0 ]; then
    echo "FAILED (exit code $status): $*"
    fail=1
  fi
}
wine_run() { in_pc env KESTRAVA_WINE_LANG="$locale" "$scripts/wine-exec" "$prefix" "$@"; }
gui() { check wine_run "$probe" "$@"; }
installed() { check wine_run "$state" "$@"; }
shot() {
  import -window root -crop 640x480+0+0 +repage "$shots/road-$name-$1.png" &&
    echo "screenshot: $shots/road-$name-$1.png"
}
# hex TEXT: the bytes of a printf format as the emulators record them.
hex() {
  printf "$1" | od -An -v -t x1 | tr a-f A-F | tr -s ' \n' '  ' | sed -e 's/^ //' -e 's/ $//'
}
received() {
  if grep -qF "$2" "$1" 2>/dev/null; then return 0; fi
  echo "FAILED: $1 lacks $2; it holds: $(cat "$1" 2>/dev/null)"
  fail=1
}

# The download folder.
downloads="$work/downloads"
mkdir -p "$downloads"
cp "$program" "$downloads/KestravaSetup.exe"
cp "$planted" "$downloads/IPHLPAPI.DLL"
cp "$planted" "$downloads/WINSPOOL.DRV"
program="$downloads/KestravaSetup.exe"

# Serial ports: the program's end of each pair is what Wine maps COM3 and COM7 to.
for port in com3 com7; do
  socat "pty,raw,echo=0,link=$work/$port-printer" "pty,raw,echo=0,link=$work/$port" &
  outside="$outside $!"
done
for _ in $(seq 50); do [ -e "$work/com3" ] && [ -e "$work/com7" ] && break; sleep 0.1; done

# The prefix, with its serial ports mapped before the wineserver of the namespace starts (the
# mapping is read at the server's start; Wine makes sockets in the server, so it must run
# inside the namespace).
locale=C.UTF-8
"$scripts/wine-stop" "$prefix"
in_pc "$scripts/wine-prefix" "$prefix" || exit 1
wine_run reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$(readlink -f "$work/com3")" /f >/dev/null
wine_run reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$(readlink -f "$work/com7")" /f >/dev/null
"$scripts/wine-stop" "$prefix"
# A paired Bluetooth printer on COM7, and the port monitor's key that Windows has and Wine not.
bth='HKLM\SYSTEM\CurrentControlSet\Enum\BTHENUM'
service='{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002'
wine_run reg add "$bth\\$service\\7&1a2b3c&0&001122AABBCC_C00000000\\Device Parameters" \
  /v PortName /d COM7 /f >/dev/null
wine_run reg add "$bth\\Dev_001122AABBCC\\7&2f2e3a1b&0&BluetoothDevice_001122AABBCC" \
  /v FriendlyName /d "RT-58 Printer" /f >/dev/null
tcpip='SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports'
wine_run reg add "HKLM\\$tcpip" /f >/dev/null
wine_run "$state" cleanup

# The printers: on the serial ports, on the loopback of the computer's namespace, and the one
# that answers discovery from its own namespace.
# One set per language, each recording into files of its own.
emulator="python3 $emulators/printer_emulator.py"
start_printers() {
  for port in com3 com7; do
    $emulator serial "$work/$port-printer" --record "$work/$name-$port.rec" --lifetime 600 &
    printers="$printers $!"
  done
  ip netns exec "$computer" $emulator tcp 127.0.0.1:9100 --record "$work/$name-lan.rec" \
    --lifetime 600 &
  printers="$printers $!"
  ip netns exec "$printer" $emulator tcp 10.77.0.2:9100 --namespace "$printer" \
    --record "$work/$name-found.rec" --lifetime 600 &
  printers="$printers $!"
  # Silent for its first two seconds, so that the program is seen searching first.
  ip netns exec "$printer" python3 "$emulators/discovery_responder.py" --quiet-for 2 \
    --log "$work/$name-responder.log" &
  printers="$printers $!"
}
stop_printers() {
  kill $printers 2>/dev/null
  wait $printers 2>/dev/null
  printers=""
}

page_end='\033\144\007\035\126\001'  # feed and cut
app=""

echo "== keys"
name=keys locale=en_US.UTF-8
start_printers
wine_run "$program" >"$work/$name-program.log" 2>&1 &
app=$!
gui wait
# The template's order: the system's radios, the models, the interfaces, the default-printer
# box, Install Driver, Check Port, the language, the baud rate (shown for COM), the port.
gui keys tab@1014 down-until=RT-58C tab@1034 down-until=COM tab@1018 tab@1019 tab@1027 \
  tab@1046 tab@1053 down-until=115200 tab@1059 down-until=COM3 \
  shift-tab@1053 shift-tab@1046 shift-tab@1027 shift-tab@1019 enter
gui message 60 'Succeed !\nDo you want to printing test page?'
shot question
gui keys enter
gui enabled 1019 30
received "$work/$name-com3.rec" "$(hex "COM PORT:COM3\000$page_end")"
installed printer RT-58C COM3:
installed value 'SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' COM3: 115200,n,8,1
# The focus is back on Install Driver, where the keys left it.
gui keys tab@1027 escape
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && { echo "FAILED: Escape left the dialog open"; fail=1; }
wait "$app"
app=""
wine_run "$state" cleanup
stop_printers
for row in "en en_US.UTF-8 1033" "zh zh_CN.UTF-8 2052" "ja ja_JP.UTF-8 1041"; do
  set -- $row
  name=$1 locale=$2
  case $3 in
    2052)
      question='安装成功！\n是否要打印测试页？'
      in_use='已经存在使用此端口的打印机'
      failure='请检查打印机连接'
      language=0 ;;
    1041)
      question='インストールに成功しました！  nテストページを印刷しますか？'
      in_use='このポートを使用するプリンタはすでに存在します'
      failure='プリンターの接続を確認してください'
      language=2 ;;
    *)
      question='Succeed !\nDo you want to printing test page?'
      in_use='A printer already exists using this port'
      failure='Please check the connection！'
      language=2 ;;
  esac
  echo "== $name"
  start_printers
  wine_run "$program" >"$work/$name-program.log" 2>&1 &
  app=$!
  gui wait

  echo "-- USB"
  gui items 1059 5 'NO USB'
  gui click 1019
  gui message 20 "$failure"
  shot usb
  gui answer ok

  echo "-- COM"
  gui click-wait 1048 1059 1000 COM3
  gui select 1059 COM3
  gui select 1053 115200
  gui click 1012  # RT-58C
  gui click 1019
  gui message 60 "$question"
  shot com-question
  gui answer yes
  gui enabled 1019 30
  received "$work/$name-com3.rec" "$(hex "COM PORT:COM3\000$page_end")"
  installed printer RT-58C COM3:
  for value in PrinterType=1 PortType=1 PortName=COM3: Language=$language Beeper=4 Cutter=2 \
    'PaperName=RECEIPT(48mm x 297mm)'; do
    installed data RT-58C "${value%%=*}" "${value#*=}"
  done
  installed value 'SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' COM3: 115200,n,8,1
  gui click 1019
  gui message 20 "$in_use"
  shot com-in-use
  gui answer ok

  echo "-- discovery"
  gui click 1049
  gui items 1059 5 'Searching IP'
  gui has-item 1059 20 10.77.0.2
  gui select 1059 10.77.0.2
  gui address-is 1050 5 10.77.0.2
  shot discovery
  gui click 1027
  gui no-message 3
  received "$work/$name-found.rec" "$(hex "LAN IP ADDRESS:10.77.0.2\000$page_end")"

  echo "-- LAN"
  gui address 1050 127.0.0.1
  gui click 1013  # RT-80
  gui click 1019
  gui message 60 "$question"
  shot lan-question
  gui answer no
  gui enabled 1019 30
  received "$work/$name-lan.rec" "$(hex "LAN IP ADDRESS:127.0.0.1\000$page_end")"
  installed printer RT-80 127.0.0.1
  for value in HostName=127.0.0.1 HWAddress= IPAddress= PortMonMibPortIndex=0 PortNumber=9100 \
    Protocol=1 'SNMP Community=kelnor' 'SNMP Enabled=0' 'SNMP Index=1' Version=2; do
    installed value "$tcpip\\127.0.0.1" "${value%%=*}" "${value#*=}"
  done

  echo "-- BLE"
  gui click-wait 1057 1059 2000 COM7
  gui text 1062 5 'RT-58 Printer\r\n001122AABBCC'
  gui click 1017  # RT-76C
  gui click 1019
  gui message 60 "$question"
  shot ble-question
  gui answer yes
  gui enabled 1019 30
  shot ble
  received "$work/$name-com7.rec" "$(hex "BLUETOOTH PORT:COM7\000$page_end\033\100")"
  installed printer RT-76C COM7:

  echo "-- libraries"
  gui modules iphlpapi.dll winspool.drv
  gui close
  wait "$app"
  app=""
  for library in IPHLPAPI.DLL WINSPOOL.DRV; do
    [ -e "$downloads/$library.loaded" ] && { echo "FAILED: the planted $library was loaded"; fail=1; }
  done
  wine_run "$state" cleanup
  stop_printers
done
wine_run reg delete "$bth" /f >/dev/null 2>&1
wine_run reg delete "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port" /f >/dev/null 2>&1
exit $fail
