#!/bin/sh
# The man page formats without a warning, and names every option and
# command that tk42host --help lists.
# Usage: check_man_page.sh TK42HOST MAN_PAGE
set -eu
host=$1
page=$2
warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "groff warns about $page:"
  echo "$warnings"
  exit 1
fi
text=$(groff -man -Tutf8 -P-cbou "$page" 2>/dev/null)
missing=0
for word in $("$host" --help | grep -o -- '--[a-z][a-z-]*' | sort -u) info render editor demo; do
  if ! printf '%s\n' "$text" | grep -q -- "$word"; then
    echo "the man page does not mention $word"
    missing=1
  fi
done
# Every preset --help names, with its targets.
for preset in $("$host" --help | sed -n 's/^ \{27\}\([a-z]*\) .*/\1/p'); do
  printf '%s\n' "$text" | grep -q -- "^ *$preset" || { echo "no preset $preset"; missing=1; }
done
exit $missing
