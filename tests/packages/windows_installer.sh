# Sourced by test_packages.sh: the zip $zip and the installer $setup, run
# silently under Wine in a new prefix of its own.

top="TK42R-$version-win64"
unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$top/||" | sort >"$work/zip-files"
if unzip -Z1 "$zip" | grep -q -v "^$top/"; then
  fail "the zip has files outside $top/"
elif compare_lists zip_files "$work/zip-files"; then
  pass "the zip holds the $(wc -l <"$work/zip-files") expected files in $top/"
else
  fail "the zip's files are not the expected ones"
fi
unzip -q "$zip" -d "$work/zip"

export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
c="$WINEPREFIX/drive_c"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TK42-R'
$wine wineboot -i </dev/null >/dev/null 2>&1
cp "$setup" "$c/setup.exe"

# Runs a Windows program and waits until every process it started is gone
# (the uninstaller runs a copy of itself and returns at once).
run_windows() {
  local status=0
  $wine "$@" </dev/null >>"$work/wine.log" 2>&1 || status=$?
  /usr/lib/wine/wineserver -w
  return $status
}

# Where the installer puts a file of the zip, in the prefix's tree.
installed_path() {
  local vst2=$1 f=$2
  case $f in
    VST2/*) echo "$vst2/${f#VST2/}" ;;
    CLAP/*) echo "$c/Program Files/Common Files/CLAP/${f#CLAP/}" ;;
    VST3/*) echo "$c/Program Files/Common Files/VST3/${f#VST3/}" ;;
    */*) echo "$c/no folder for/$f" ;;
    *) echo "$c/Program Files/TK42-R/$f" ;;
  esac
}

# Every file of the zip in its folder, the same bytes; the uninstaller and
# its entry in the list of programs.
check_installed() {
  local vst2=$1 what=$2 f wrong=""
  while IFS= read -r f; do
    cmp -s "$work/zip/$top/$f" "$(installed_path "$vst2" "$f")" ||
      wrong+=$'\n'"  $f is not at $(installed_path "$vst2" "$f")"
  done <"$work/zip-files"
  [ -f "$c/Program Files/TK42-R/uninstall.exe" ] || wrong+=$'\n'"  no uninstall.exe"
  [ -z "$wrong" ] && pass "$what: every file in its folder" || fail "$what:$wrong"
  $wine reg query "$uninstall_key" /reg:64 >"$work/uninstall-key.txt" 2>&1 || true
  grep -q "DisplayVersion *REG_SZ *$version" "$work/uninstall-key.txt" &&
    grep -q -F 'QuietUninstallString    REG_SZ    "C:\Program Files\TK42-R\uninstall.exe" /S' \
      "$work/uninstall-key.txt" && pass "$what: the uninstaller is registered" ||
    fail "$what: the uninstall key holds: $(cat "$work/uninstall-key.txt")"
}

# No file of the zip in any folder the installer may have used, no program
# folder, no keys.
check_nothing_installed() {
  local what=$1 f vst2 left=""
  for vst2 in "$c/Program Files/VSTPlugins" "$c/Audio/VST2"; do
    while IFS= read -r f; do
      [ ! -e "$(installed_path "$vst2" "$f")" ] || left+=$'\n'"$(installed_path "$vst2" "$f")"
    done <"$work/zip-files"
  done
  [ ! -e "$c/Program Files/TK42-R" ] || left+=$'\n'"C:\\Program Files\\TK42-R"
  ! $wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1 || left+=$'\n'"the uninstall key"
  ! $wine reg query 'HKLM\Software\TK42-R' /reg:64 >/dev/null 2>&1 ||
    left+=$'\n'"HKLM\\Software\\TK42-R"
  [ -z "$left" ] && pass "$what" || fail "$what; left:$left"
}

status=0
run_windows 'C:\setup.exe' /S '/VST2DIR=not\a\full\path' || status=$?
if [ $status -eq 2 ]; then
  check_nothing_installed "a relative /VST2DIR is refused (exit 2), nothing installed"
else
  fail "setup.exe /S with a relative /VST2DIR exited with $status"
fi

if run_windows 'C:\setup.exe' /S; then
  check_installed "$c/Program Files/VSTPlugins" "setup.exe /S"
else
  fail "setup.exe /S failed"
fi
# Installed again into another VST 2 folder, as an update may be: the DLL
# moves, so that hosts scanning both folders do not find two.
if run_windows 'C:\setup.exe' /S '/VST2DIR=C:\Audio\VST2'; then
  check_installed "$c/Audio/VST2" 'setup.exe /S /VST2DIR=C:\Audio\VST2'
  [ ! -e "$c/Program Files/VSTPlugins" ] && pass "the DLL left the old VST 2 folder" ||
    fail "the old VST 2 folder is still there: $(ls -A "$c/Program Files/VSTPlugins")"
else
  fail 'setup.exe /S /VST2DIR=C:\Audio\VST2 failed'
fi

run_windows 'C:\Program Files\TK42-R\uninstall.exe' /S || fail "uninstall.exe /S failed"
check_nothing_installed "uninstall.exe /S removes every file and key"
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
