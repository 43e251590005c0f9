#!/usr/bin/env bash
# Tests the packages ./release.sh wrote into DIST:
#   - SHA256SUMS covers every package and verifies;
#   - the Debian package holds exactly the expected files, owned by root, with
#     the right modes, and lintian finds no error;
#   - installed with dpkg into this system: Ardour's and Qtractor's scanners
#     find the plug-ins in the installed folders with no path set, tk42host
#     and its manual page work from the PATH; dpkg -r and --purge leave none
#     of its files behind (a failed run purges it too);
#   - the zip holds exactly the expected files; the installer, run silently
#     under Wine in a prefix of its own, puts every one of them in its folder
#     and registers its uninstaller, which removes them all again.
# usage: test_packages.sh DIST WORKDIR      (as root: dpkg installs for real)
set -Eeuo pipefail
trap 'echo "FAIL: ${BASH_SOURCE[0]}:$LINENO: $BASH_COMMAND failed (status $?); stopping" >&2' ERR
here=$(cd "$(dirname "$0")" && pwd)
dist=$(realpath "$1")
work=$(realpath -m "$2")
source "$here/expected_files.sh"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Every line of the file ACTUAL is matched by an entry of the array EXPECTED,
# and every entry matches a line (an entry ending in / matches every line
# that starts with it). Prints what is missing and what is unexpected.
compare_lists() {
  local -n expected=$1
  local actual=$2 e ok=0
  for e in "${expected[@]}"; do
    awk -v e="$e" '(e ~ /\/$/ && index($0, e) == 1) || $0 == e { found = 1 }
      END { exit !found }' "$actual" || { echo "  missing: $e"; ok=1; }
  done
  printf '%s\n' "${expected[@]}" >"$actual.expected"
  awk 'NR == FNR { if ($0 ~ /\/$/) prefix[$0]; else exact[$0]; next }
    { known = ($0 in exact); for (p in prefix) if (index($0, p) == 1) known = 1 }
    !known { print "  unexpected: " $0; bad = 1 } END { exit bad }' \
    "$actual.expected" "$actual" || ok=1
  return $ok
}

version=$(sed -n 's/^tk42r_\(.*\)_amd64\.deb$/\1/p' <(ls "$dist"))
[ -n "$version" ] || { echo "no tk42r_VERSION_amd64.deb in $dist" >&2; exit 1; }
deb="$dist/tk42r_${version}_amd64.deb"
zip="$dist/TK42R-$version-win64.zip"
setup="$dist/TK42R-$version-win64-setup.exe"
rm -rf "$work"
mkdir -p "$work"

echo "== checksums"
(cd "$dist" && ls | grep -v -x SHA256SUMS | sort) >"$work/dist-files"
cut -d' ' -f3- "$dist/SHA256SUMS" | sed 's/^\*//' | sort >"$work/summed-files"
if cmp -s "$work/dist-files" "$work/summed-files" && (cd "$dist" && sha256sum --quiet -c SHA256SUMS); then
  pass "SHA256SUMS covers $(wc -l <"$work/dist-files") packages and verifies"
else
  fail "SHA256SUMS does not cover or verify every package"
fi

echo "== the Debian package"
source "$here/debian_package.sh"

echo "== the Windows zip and installer"
source "$here/windows_installer.sh"

if [ $failures -ne 0 ]; then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "all package checks passed"
