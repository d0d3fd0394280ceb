#!/usr/bin/env bash
# The committed data files are exactly what the generators make now:
#   check_assets.sh MAKE_ASSETS ASSETS_DIR
set -uo pipefail
make_assets=$1; assets=$2
out=$(mktemp -d) || exit 1
trap 'rm -rf "$out"' EXIT
"$make_assets" "$out" >/dev/null || { echo "make_assets failed"; exit 1; }
fail=0
for f in objects/myfemale70_grp.obj objects/caisse2.jpg objects/defaulttext.jpg gui_brask.ico; do
  cmp -s "$out/$f" "$assets/$f" || { echo "$f differs from what tools/make_assets writes: rerun it and commit"; fail=1; }
done
exit $fail
