#!/usr/bin/env bash
# Makes the Debian package from a tree that `cmake --install --prefix ROOT/usr`
# wrote: compresses the manual pages, adds the copyright file and the
# changelog Debian wants (changelog.gz: the version has no Debian revision, so
# this is a native package), computes the dependencies from the binaries
# (dpkg-shlibdeps), builds the .deb and checks it with lintian.
# usage: make-deb.sh ROOT VERSION OUT.deb     (SOURCE_DATE_EPOCH dates the changelog)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$1 version=$2 out=$3
# The project has no mail address yet: .invalid says so plainly. Set
# TK42_MAINTAINER="Name <address>" to sign a release with a real one.
maintainer=${TK42_MAINTAINER:-"TK42-R Limiter authors <maintainers@tk42r.invalid>"}
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}

doc="$root/usr/share/doc/tk42r"
mkdir -p "$doc" "$root/DEBIAN"
if [ -d "$root/usr/share/man" ]; then
  find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
fi
{
  cat <<HEAD
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: TK42-R Limiter

Files: *
Copyright: 2026 the TK42-R Limiter authors
License: Expat
HEAD
  # The licence text, as the format wants it: indented, blank lines as " .".
  sed -e '1,/^Copyright/d' -e 's/^$/./' -e 's/^/ /' "$here/../../LICENSE" | sed '1{/^ \.$/d}'
} >"$doc/copyright"
{
  echo "tk42r ($version) unstable; urgency=medium"
  echo
  echo "  * Release $version."
  echo
  echo " -- $maintainer  $(LC_ALL=C date -u -R -d "@$epoch")"
} | gzip -9n >"$doc/changelog.gz"

# Modules and libraries are not executable, programs are; everything belongs
# to root (dpkg-deb --root-owner-group).
find "$root/usr" -type d -exec chmod 755 {} +
find "$root/usr" -type f -exec chmod 644 {} +
[ ! -d "$root/usr/bin" ] || find "$root/usr/bin" -type f -exec chmod 755 {} +

# dpkg-shlibdeps reads the libraries each ELF file needs and the versions of
# the symbols it uses; it wants a debian/control to run in.
elves=()
while IFS= read -r -d '' f; do
  [ "$(head -c4 "$f" | od -An -c | tr -d ' ')" = "177ELF" ] && elves+=("$(realpath "$f")")
done < <(find "$root/usr" -type f -print0 | sort -z)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: tk42r\n\nPackage: tk42r\nArchitecture: amd64\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "${elves[@]/#/-e}" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make-deb.sh: no dependencies found for ${elves[*]}" >&2; exit 1; }

(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/md5sums"
sed -e "s|@VERSION@|$version|" -e "s|@MAINTAINER@|$maintainer|" \
  -e "s|@INSTALLED_SIZE@|$(du -sk --apparent-size "$root/usr" | cut -f1)|" \
  -e "s|@DEPENDS@|$depends|" "$here/control.in" >"$root/DEBIAN/control"

dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null
echo "== lintian $out"
lintian --fail-on error "$out"
