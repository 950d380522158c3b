#!/bin/sh
# payload_extract_check.sh PREFIX PROBE TREE: makes the working folder beforehand with a file
# planted at its top and one in a platform folder, runs the packed probe under Wine in PREFIX
# and compares what it unpacked into the working folder with TREE, the sample driver tree packed
# into it: one folder per platform, byte-identical, no archive left, nothing planted. Then leaves a read-only
# file (read-only to Windows, too) in the working folder and runs the probe again, which must
# delete it. A probe that cannot run here (exit 77 from wine-exec) skips the test.
set -u
prefix=$(realpath -m "$1")
probe=$2
tree=$3
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work="$prefix/drive_c/Program Files (x86)/Kestrava V8.11"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

run_probe() {
  "$scripts/wine-exec" "$prefix" "$probe" >"$log" 2>&1
  status=$?
  [ "$status" = 77 ] && { cat "$log"; exit 77; }
  [ "$status" = 0 ] || { cat "$log"; fail "$1: the probe exited with $status"; }
}

check_tree() {
  # The support log lives in the working folder too, and the unpacking keeps it; the other
  # programs run in this prefix write it.
  diff -r -x setup.log "$work" "$tree" || fail "$1: the unpacked tree differs from $tree"
  left=$(find "$work" -iname '*.zip')
  [ -z "$left" ] || fail "$1: archives left behind: $left"
  echo "$1: $(find "$work" -type f ! -name setup.log | wc -l) files unpacked, identical to the sample tree"
}

rm -rf "$work"
mkdir -p "$work/Windows x64"
echo "planted" >"$work/planted.dll"
echo "planted" >"$work/Windows x64/UNIDRV.DLL"
run_probe "first run"
[ -e "$work/planted.dll" ] && fail "first run: the planted file is still there"
check_tree "first run"

stale="$work/Windows x64/RES/STALE.DLL"
echo "left by an earlier run" >"$stale"
chmod a-w "$stale"
# Wine shows a file without write permission as read-only; make sure it does here, or the
# second run would prove nothing.
attributes=$("$scripts/wine-exec" "$prefix" cmd /c attrib \
  'C:\Program Files (x86)\Kestrava V8.11\Windows x64\RES\STALE.DLL' 2>/dev/null | tr -d '\r')
echo "attrib: $attributes"
case ${attributes%%C:*} in
  *R*) ;;
  *) fail "Wine does not show the planted file as read-only" ;;
esac
run_probe "second run"
[ -e "$stale" ] && fail "second run: the read-only file is still there"
check_tree "second run"
exit 0
