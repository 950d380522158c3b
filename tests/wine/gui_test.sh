#!/bin/sh
# gui_test.sh PREFIX PROGRAM PROBE SHOTS: run on a display of its own (scripts/with-xvfb).
# Starts the program under Wine in Chinese, English and Japanese, checks the dialog from
# outside with the probe, takes a screenshot of each language into SHOTS (the 640x480 virtual
# desktop the prefix gives the program), switches languages at run time, checks that a second
# start only shows the second-instance message, and that the payload was unpacked; then closes
# the program the moment its dialog appears and checks that it still ends normally with the
# payload whole. Stops the program and the wineserver on every outcome.
. "$(dirname "$0")/gui_session.sh"

fail=0
run_probe() {
  if ! "$here/wine-exec" "$prefix" "$probe" "$@"; then
    echo "probe $* failed"
    fail=1
  fi
}

work="$prefix/drive_c/Program Files (x86)/Kestrava V8.11"
# language name, locale, identifier
for row in "en en_US.UTF-8 1033" "zh zh_CN.UTF-8 2052" "ja ja_JP.UTF-8 1041"; do
  set -- $row
  name=$1 locale=$2 language=$3
  echo "== $name"
  rm -rf "$work"
  KESTRAVA_WINE_LANG=$locale "$here/wine-exec" "$prefix" "$program" &
  app=$!
  run_probe wait
  sleep 2
  run_probe check "$language" 1002
  import -window root -crop 640x480+0+0 +repage "$shots/dialog-$name.png" &&
    echo "screenshot: $shots/dialog-$name.png"
  KESTRAVA_WINE_LANG=$locale run_probe second "Z:$(realpath "$program" | tr / '\\\\')" "$language"
  # Switch to another language and back: every caption returns.
  other=$([ "$language" = 1033 ] && echo 0 || echo 1)
  other_language=$([ "$language" = 1033 ] && echo 2052 || echo 1033)
  run_probe language "$other"
  run_probe check "$other_language" 1002
  run_probe language "$(case $language in 2052) echo 0 ;; 1041) echo 2 ;; *) echo 1 ;; esac)"
  run_probe check "$language" 1002
  # The payload worker has had its time: three platform folders, no archive left.
  for platform in "Windows ARM64" "Windows NT x86" "Windows x64"; do
    [ -f "$work/$platform/Receipt.ini" ] || { echo "payload: $platform missing"; fail=1; }
  done
  ls "$work"/*.zip >/dev/null 2>&1 && { echo "payload: an archive was left"; fail=1; }
  run_probe close
  wait "$app"
  app=""
done

# Closed the moment it appears, while the payload worker has only begun: the program waits for
# the worker, ends normally, and leaves the payload whole.
echo "== closed at once"
rm -rf "$work"
windows_work='C:\Program Files (x86)\Kestrava V8.11'
"$here/wine-exec" "$prefix" "$probe" close-early "$windows_work\Windows ARM64" \
  "$windows_work\Windows NT x86" "$windows_work\Windows x64" &
early=$!
"$here/wine-exec" "$prefix" "$program"
status=$?
wait "$early" || { echo "probe close-early failed"; fail=1; }
[ "$status" = 0 ] || { echo "the program ended with $status"; fail=1; }
for platform in "Windows ARM64" "Windows NT x86" "Windows x64"; do
  [ -f "$work/$platform/Receipt.ini" ] || { echo "payload: $platform missing after the end"; fail=1; }
done
exit $fail
