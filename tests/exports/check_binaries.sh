#!/usr/bin/env bash
# Checks on the shipped Windows binaries, read with objdump on the host.
#   check_binaries.sh exports OBJDUMP DLL NAME...
#       DLL exports exactly the NAMEs, undecorated: none missing, none more
#       (a name exported by accident becomes something hosts may bind to).
#   check_binaries.sh runtime OBJDUMP BINDIR FILE...
#       every FILE exists, and no .exe or .dll in BINDIR imports the MinGW
#       runtime DLLs (libgcc, libstdc++, winpthread): they must be static.
#   check_binaries.sh imports OBJDUMP DIR FILE...
#       every FILE is in DIR, and every .exe and .dll there imports only
#       Windows' own DLLs and each other: the folder runs as it stands.
#   check_binaries.sh program OBJDUMP EXE
#       EXE is a GUI program binding loadobjsize and load3DSsize by name
#       at load time, and not jpeg.dll.
set -uo pipefail
mode=${1:-}; objdump=${2:-}
[ $# -ge 3 ] || { echo "usage: $0 exports|runtime|imports OBJDUMP FILE..." >&2; exit 2; }
shift 2

exported_names() {
  # The name table follows "[Ordinal/Name Pointer] Table": lines "[   n] name".
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p'
}

imported_dlls() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p'
}

fail=0
case $mode in
exports)
  dll=$1; shift
  [ -f "$dll" ] || { echo "missing: $dll"; exit 1; }
  names=$(exported_names "$dll") || { echo "objdump failed on $dll"; exit 1; }
  [ -n "$names" ] || { echo "$dll exports nothing"; exit 1; }
  wanted=$(printf '%s\n' "$@")
  for want in "$@"; do
    if ! grep -qxF -- "$want" <<<"$names"; then
      echo "$(basename "$dll"): no export named '$want'"
      fail=1
    fi
  done
  while IFS= read -r have; do
    if ! grep -qxF -- "$have" <<<"$wanted"; then
      echo "$(basename "$dll"): exports '$have', which is not in the list"
      fail=1
    fi
  done <<<"$names"
  [ $fail = 0 ] || { echo "exports found:"; sed 's/^/  /' <<<"$names"; }
  ;;
runtime)
  bindir=$1; shift
  for f in "$@"; do
    [ -f "$f" ] || { echo "missing: $f"; fail=1; }
  done
  shopt -s nullglob nocaseglob
  bins=("$bindir"/*.exe "$bindir"/*.dll)
  [ ${#bins[@]} -gt 0 ] || { echo "no binaries in $bindir"; exit 1; }
  for b in "${bins[@]}"; do
    dlls=$(imported_dlls "$b") || { echo "objdump failed on $b"; fail=1; continue; }
    bad=$(grep -iE '^(libgcc|libstdc\+\+|libwinpthread)' <<<"$dlls")
    if [ -n "$bad" ]; then
      echo "$(basename "$b") imports the MinGW runtime: $(tr '\n' ' ' <<<"$bad")"
      fail=1
    fi
  done
  [ $fail = 1 ] || echo "checked ${#bins[@]} binaries"
  ;;
imports)
  dir=$1; shift
  for f in "$@"; do
    [ -f "$dir/$f" ] || { echo "missing: $dir/$f"; fail=1; }
  done
  shopt -s nullglob nocaseglob
  bins=("$dir"/*.exe "$dir"/*.dll)
  [ ${#bins[@]} -gt 0 ] || { echo "no binaries in $dir"; exit 1; }
  own=$(for b in "${bins[@]}"; do basename "$b"; done)
  windows='^(kernel32|user32|gdi32|opengl32|glu32|comdlg32|shell32|msvcrt|advapi32|ole32|oleaut32|comctl32|winmm|shlwapi|ws2_32|version|ntdll|imm32|uxtheme)\.dll$|^api-ms-win-'
  for b in "${bins[@]}"; do
    dlls=$(imported_dlls "$b") || { echo "objdump failed on $b"; fail=1; continue; }
    while IFS= read -r d; do
      [ -n "$d" ] || continue
      grep -qiE "$windows" <<<"$d" && continue
      grep -qixF -- "$d" <<<"$own" && continue
      echo "$(basename "$b") imports $d, which is neither Windows' own nor in $dir"
      fail=1
    done <<<"$dlls"
  done
  [ $fail = 1 ] || echo "checked ${#bins[@]} binaries in $dir"
  ;;
program)
  # The viewer: a GUI program that binds exactly loadobjsize from
  # kestrin.dll and load3DSsize from harlith.dll at load time, and leaves
  # jpeg.dll to be loaded at run time.
  exe=$1
  [ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
  table=$("$objdump" -p "$exe") || { echo "objdump failed on $exe"; exit 1; }
  grep -qE '^Subsystem[[:space:]]+00000002' <<<"$table" || { echo "$(basename "$exe") is not a GUI program"; fail=1; }
  members() { awk -v dll="$1" '/DLL Name:/ { on = tolower($3) == dll; next } on && NF == 3 && $2 ~ /^[0-9]+$/ { print $3 }' <<<"$table"; }
  [ "$(members kestrin.dll)" = loadobjsize ] || { echo "from kestrin.dll: $(members kestrin.dll | tr '\n' ' ')"; fail=1; }
  [ "$(members harlith.dll)" = load3DSsize ] || { echo "from harlith.dll: $(members harlith.dll | tr '\n' ' ')"; fail=1; }
  if grep -qiE 'DLL Name:[[:space:]]*jpeg\.dll' <<<"$table"; then echo "jpeg.dll is bound at load time"; fail=1; fi
  [ $fail = 1 ] || echo "$(basename "$exe"): GUI, loadobjsize and load3DSsize bound, jpeg.dll left to run time"
  ;;
*)
  echo "unknown mode: $mode" >&2; exit 2 ;;
esac
exit $fail
