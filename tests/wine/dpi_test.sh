#!/bin/sh
# dpi_test.sh PREFIX PROGRAM PROBE SHOTS: run on a display of its own (scripts/with-xvfb, a
# screen large enough for 192 DPI). The dialog at 96, 120, 144 and 192 DPI (Wine's LogPixels)
# in Chinese, English and Japanese: every text fits its control, measured from outside with the
# control's own font, a Bluetooth printer's name and address among them, and the address field
# shows 255.255.255.255 whole (PROBE fit); a screenshot of each into SHOTS
# (dialog-LANGUAGE-DPI.png). In a prefix of its own, whose wineserver it stops however it ends.
. "$(dirname "$0")/gui_session.sh"

fail=0
wine_do() { "$here/wine-exec" "$prefix" "$@"; }
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
    import -window root -crop 1200x1000+0+0 +repage "$shots/dialog-$1-$dpi.png" &&
      echo "screenshot: $shots/dialog-$1-$dpi.png"
    wine_do "$probe" close
    wait "$app"
    app=""
  done
done
exit $fail
