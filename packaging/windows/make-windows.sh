#!/usr/bin/env bash
# Makes the Windows zip and installer from the tree that `cmake --install`
# wrote for the Windows build: ROOT holds one folder per plug-in format
# (VST2, CLAP, VST3) and, at its top, tk42host.exe, the README and the licence.
# The zip is that tree. The installer (tk42r.nsi) installs each folder where
# hosts look for its format; the lists of files it installs and removes are
# generated here from the tree, so a format whose folder is absent is simply
# not in the installer.
# usage: make-windows.sh ROOT VERSION DIST     (SOURCE_DATE_EPOCH dates the zip)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(realpath "$1") version=$2 dist=$(realpath "$3")
epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
name=$(basename "$root")

(cd "$(dirname "$root")" &&
  cmake -E tar cf "$dist/$name.zip" --format=zip \
    --mtime="$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC')" "$name")

# The folders tk42r.nsi has a section for.
known=(VST2 CLAP VST3)
nsh=$(mktemp --suffix=.nsh)
trap 'rm -f "$nsh"' EXIT

# Two macros per folder of ROOT (TOP for the files at its top): one installs
# its files below the destination DEST the section gives, one removes them and
# then the folders it made inside DEST, deepest first.
emit() {
  local id=$1 dir=$2 depth=$3
  echo "!define TK42_HAS_$id"
  echo "!macro TK42_INSTALL_$id DEST"
  local last=""
  while IFS= read -r -d '' f; do
    local rel=${f#"$dir"/} sub
    sub=$(dirname "$rel")
    if [ "$sub" != "$last" ]; then
      if [ "$sub" = . ]; then echo '  SetOutPath "${DEST}"'
      else echo "  SetOutPath \"\${DEST}\\${sub//\//\\}\""; fi
      last=$sub
    fi
    echo "  File \"$f\""
  done < <(find "$dir" -mindepth 1 -maxdepth "$depth" -type f -print0 | sort -z)
  echo "!macroend"
  echo "!macro TK42_REMOVE_$id DEST"
  while IFS= read -r -d '' f; do
    local rel=${f#"$dir"/}
    echo "  Delete \"\${DEST}\\${rel//\//\\}\""
  done < <(find "$dir" -mindepth 1 -maxdepth "$depth" -type f -print0 | sort -z)
  while IFS= read -r -d '' d; do
    local rel=${d#"$dir"/}
    echo "  RMDir \"\${DEST}\\${rel//\//\\}\""
  done < <(find "$dir" -mindepth 1 -maxdepth "$((depth - 1))" -type d -print0 | sort -rz)
  echo "!macroend"
}

{
  emit TOP "$root" 1
  for d in "$root"/*/; do
    d=${d%/}
    id=$(basename "$d")
    if [[ ! " ${known[*]} " =~ " $id " ]]; then
      echo "make-windows.sh: the installer has no section for $id/ (add one to tk42r.nsi)" >&2
      exit 1
    fi
    emit "$id" "$d" 64
  done
} >"$nsh"

makensis -V2 -DVERSION="$version" -DSTAGE="$root" -DFILES="$nsh" \
  -DOUTFILE="$dist/$name-setup.exe" "$here/tk42r.nsi"
