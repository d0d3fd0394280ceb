# Sourced: sets TOLVANE_WINE (runs 64-bit Windows programs) and
# TOLVANE_WINESERVER, or returns 1. What is on the PATH comes first, so a
# newer Wine a user installed wins; Debian keeps wine64 and wineserver off
# the PATH, in /usr/lib/wine. A plain `wine` is last: Debian's is a wrapper
# that prefers the 32-bit loader, newer Wines run both kinds in one.
tolvane_find_wine() {
  local candidate
  if [ -z "${TOLVANE_WINE:-}" ]; then
    for candidate in "$(command -v wine64)" /usr/lib/wine/wine64 "$(command -v wine)"; do
      [ -n "$candidate" ] && [ -x "$candidate" ] && { TOLVANE_WINE=$candidate; break; }
    done
  fi
  if [ -z "${TOLVANE_WINESERVER:-}" ]; then
    for candidate in "$(command -v wineserver)" /usr/lib/wine/wineserver; do
      [ -n "$candidate" ] && [ -x "$candidate" ] && { TOLVANE_WINESERVER=$candidate; break; }
    done
  fi
  if [ -z "${TOLVANE_WINE:-}" ] || [ -z "${TOLVANE_WINESERVER:-}" ]; then
    echo "Wine not found (wine64 or wine, and wineserver): run scripts/setup" >&2
    return 1
  fi
  export TOLVANE_WINE TOLVANE_WINESERVER
}
