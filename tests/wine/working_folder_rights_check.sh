#!/bin/sh
# working_folder_rights_check.sh PREFIX PROBE RIGHTS: makes the working folder of PREFIX
# beforehand, with files planted in it, runs the packed payload probe PROBE (which unpacks into
# it and writes a line of the support log, as the program does at its start), and then reads
# from outside, with RIGHTS (folder_rights_probe), who may change the folder, the support log
# and an unpacked driver file: the folder's DACL must be protected, and nobody but
# Administrators and SYSTEM may write any of them.
#
# Wine 8 keeps no security descriptor a program sets (it answers from the Unix file mode, and
# every file is its one user's): RIGHTS finds that out first; the planted files are then still
# checked, and the test is skipped (77) before the rights are read, never passed. A probe that
# cannot run here skips it too.
set -u
prefix=$(realpath -m "$1")
probe=$2
rights=$3
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work="$prefix/drive_c/Program Files (x86)/Kestrava V8.11"
windows_work='C:\Program Files (x86)\Kestrava V8.11'
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$scripts/wine-exec" "$prefix" "$rights" keeps "C:\\kestrava-rights-$$" >"$log" 2>&1
status=$?
case $status in
  0) keeps=yes ;;
  77) cat "$log"; exit 77 ;;
  *)
    cat "$log"
    keeps=no
    ;;
esac

rm -rf "$work"
mkdir -p "$work/Windows x64"
echo "planted" >"$work/planted.dll"
echo "planted" >"$work/Windows x64/UNIDRV.DLL"
"$scripts/wine-exec" "$prefix" "$probe" >"$log" 2>&1 || { cat "$log"; echo "FAILED: the probe"; exit 1; }
[ -e "$work/planted.dll" ] && { echo "FAILED: the planted file is still there"; exit 1; }
[ "$(cat "$work/Windows x64/UNIDRV.DLL")" = "planted" ] &&
  { echo "FAILED: the planted driver file was kept"; exit 1; }
echo "the folder made beforehand ends without the files planted in it"
if [ "$keeps" = no ]; then
  echo "skipped: this Wine keeps no security descriptor a program sets (the DACL set on a"
  echo "folder reads back as above), so the working folder's rights cannot be read back here;"
  echo "the fake files service's tests show them (tests/payload/trusted_folder_test.cpp)"
  exit 77
fi
"$scripts/wine-exec" "$prefix" "$rights" check "$windows_work" "$windows_work\\setup.log" \
  "$windows_work\\Windows x64\\UNIDRV.DLL"
