#!/bin/sh
# The web album's page as tidy reads it: no error, and no warning but one: this tidy does not know
# the lazy-loading attribute (loading="lazy") that today's browsers read.
#   sh web_album_tidy.sh <web_album_maker>
# Exit status: 0 clean, 1 tidy found something, 77 skipped (tidy is not installed).
maker="$1"
if ! command -v tidy >/dev/null 2>&1; then
    echo "SKIPPED: tidy is not installed (scripts/setup.sh installs it)"
    exit 77
fi
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
page=$("$maker" "$home" 14) || exit 1
report=$(tidy -e -q "$page" 2>&1)
status=$?
others=$(printf '%s\n' "$report" | grep -v 'proprietary attribute "loading"' | grep .)
printf '%s\n' "$report"
if [ "$status" -ge 2 ] || [ -n "$others" ]; then
    echo "FAIL: tidy found errors or warnings in $page"
    exit 1
fi
echo "tidy: no error in $page"
