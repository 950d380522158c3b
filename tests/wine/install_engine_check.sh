#!/bin/sh
# install_engine_check.sh PREFIX PROBE TREE: puts TREE, the sample driver tree as the payload
# unpacks it (one folder per platform), into a folder of its own on the prefix's drive C:,
# plants PLANTED.DLL, a file no list names, at the top of its "Windows x64" folder, runs the
# probe under Wine with KESTRAVA_SOURCE naming that folder, and removes the folder again. A probe that cannot run here (exit 77 from wine-exec) skips the test.
set -u
prefix=$(realpath -m "$1")
probe=$2
tree=$3
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
name="kestrava-install-source-$$"
source="$prefix/drive_c/$name"

"$scripts/wine-prefix" "$prefix" || exit 1
rm -rf "$source"
cp -R "$tree" "$source" || exit 1
trap 'rm -rf "$source"' EXIT
echo "a file that no list names" >"$source/Windows x64/PLANTED.DLL"
KESTRAVA_SOURCE="C:\\$name" "$scripts/wine-exec" "$prefix" "$probe"
