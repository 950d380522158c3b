#!/bin/sh
# dpi_test.sh PREFIX PROGRAM PROBE SHOTS: run on a display of its own (scripts/with-xvfb, a
# screen large enough for 192 DPI). The dialog at 96, 120, 144 and 192 DPI (Wine's LogPixels)
# in Chinese, English and Japanese: every text fits its control, measured from outside with the
# control's own font, a Bluetooth printer's name and address among them, and the address field
# shows 255.255.255.255 whole (PROBE fit); the right-hand column shares one left edge and width,
# nothing overlaps and nothing leaves the client area (PROBE layout); a screenshot of each into
# SHOTS (dialog-LANGUAGE-DPI.png). At 96 DPI the dialog is then moved to a display of 192 DPI
# the way Windows moves it (PROBE dpi-change 96 192): the window takes the suggested size, its
# controls grow with it and the layout holds, every text fits with the fonts of 192 DPI, and the
# ink of a label in the template's font and of the remark in the program's own is at least 1.6
# times as tall as before, measured in the screenshots before and after
# (dialog-LANGUAGE-96-before.png, dialog-LANGUAGE-96to192.png). In a prefix of its own, whose
# wineserver it stops however it ends.
. "$(dirname "$0")/gui_session.sh"

fail=0
wine_do() { "$here/wine-exec" "$prefix" "$@"; }
shoot() {
  import -window root -crop 1200x1000+0+0 +repage "$1" && echo "screenshot: $1"
}
# ink_height SHOT LEFT TOP RIGHT BOTTOM: the height of what is drawn on the dialog's face within
# the rectangle (the virtual desktop, and so the screenshot, starts at the screen's origin).
ink_height() {
  convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -trim -format '%h' info: 2>/dev/null
}
# The dialog at 96 DPI moved to a display of 192 DPI, in language $1 with locale $2.
move_to_192() {
  shoot "$shots/dialog-$1-96-before.png"
  # The probe's lines end in CR LF.
  KESTRAVA_WINE_LANG=$2 wine_do "$probe" dpi-change 96 192 | tr -d '\r' >"$work/moved"
  grep -q '^FAIL' "$work/moved" && fail=1
  cat "$work/moved"
  sleep 1
  KESTRAVA_WINE_LANG=$2 wine_do "$probe" fit 192 || fail=1
  shoot "$shots/dialog-$1-96to192.png"
  for id in 1055 1030; do
    # shellcheck disable=SC2046
    before=$(ink_height "$shots/dialog-$1-96-before.png" $(sed -n "s/^ink before $id //p" "$work/moved"))
    # shellcheck disable=SC2046
    after=$(ink_height "$shots/dialog-$1-96to192.png" $(sed -n "s/^ink after $id //p" "$work/moved"))
    echo "ink of $id: ${before:-?} pixels high at 96 DPI, ${after:-?} after the move to 192"
    if [ -z "$before" ] || [ -z "$after" ] || [ $((after * 10)) -lt $((before * 16)) ]; then
      echo "FAILED: the text of $id did not grow with the display's scale"
      fail=1
    fi
  done
}
work=$(mktemp -d)
trap 'gui_session_end; rm -rf "$work"' EXIT INT TERM
wine_do reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Kestrava /d 1200x1000 /f >/dev/null
for dpi in 96 120 144 192; do
  # The scale is read when the wineserver starts.
  wine_do reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wine_do reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  "$here/wine-stop" "$prefix"
  for row in "en en_US.UTF-8" "zh zh_CN.UTF-8" "ja ja_JP.UTF-8"; do
    set -- $row
    KESTRAVA_WINE_LANG=$2 "$here/wine-exec" "$prefix" "$program" &
    app=$!
    wine_do "$probe" wait || { echo "FAILED: no dialog at $dpi DPI in $1"; fail=1; }
    sleep 2
    echo "== $1 at $dpi DPI"
    KESTRAVA_WINE_LANG=$2 wine_do "$probe" fit || fail=1
    KESTRAVA_WINE_LANG=$2 wine_do "$probe" layout || fail=1
    shoot "$shots/dialog-$1-$dpi.png"
    [ "$dpi" = 96 ] && move_to_192 "$1" "$2"
    wine_do "$probe" close
    wait "$app"
    app=""
  done
done
exit $fail
