#!/usr/bin/env bash
# The number corpus through the native build and through the Windows build
# (under Wine): every word must give the same bits in both.
#   compare_builds.sh NATIVE_DUMP WINE_RUN WINDOWS_DUMP CORPUS
# Without the native build's numbers_dump it exits 77 (skipped), but fails
# under CI=true, where a skip would hide that the comparison never ran.
set -uo pipefail
native=$1 wine=$2 windows=$3 corpus=$4
if [ ! -x "$native" ]; then
  echo "no native build ($native): build the native preset first (TOLVANE_NATIVE_BUILD names its folder)"
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
"$native" "$corpus" "$tmp/native.obj" >"$tmp/native.txt" || { echo "native numbers_dump failed"; exit 1; }
# Wine: the whole Linux file system shows as drive Z:.
"$wine" "$windows" "Z:$corpus" "Z:$tmp/windows.obj" </dev/null 2>/dev/null | tr -d '\r' >"$tmp/windows.txt"
[ -s "$tmp/windows.txt" ] || { echo "the Windows numbers_dump printed nothing"; exit 1; }
if ! diff "$tmp/native.txt" "$tmp/windows.txt" >"$tmp/diff.txt"; then
  echo "the builds read these words differently (< native, > windows):"
  head -40 "$tmp/diff.txt"
  exit 1
fi
echo "$(wc -l <"$tmp/native.txt") words, the same bits in both builds"
