# Sourced by the dialog tests, which run as SCRIPT PREFIX PROGRAM PROBE SHOTS on a display of
# their own (scripts/with-xvfb): the arguments, the Wine helpers ($here is the scripts folder),
# a skip where the program cannot run here, the prefix made, the screenshot folder, and on every
# way out the program ($app while it runs) and the prefix's wineserver stopped.
# shellcheck shell=sh
set -u
prefix=$1
program=$2
probe=$3
shots=$4
here=$(cd "$(dirname "$0")/../../scripts" && pwd)
. "$here/wine-env"

skip_unless_runnable "$program"
mkdir -p "$shots"
"$here/wine-prefix" "$prefix" || exit 1

app=""
gui_session_end() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  "$here/wine-stop" "$prefix"
  wait 2>/dev/null
}
trap gui_session_end EXIT INT TERM
