# Sourced by test_packages.sh: the Debian package $deb, its contents, lintian,
# and a real install into this system, the hosts' scanners, and removal.

dpkg-deb -c "$deb" >"$work/deb-listing"
awk '$1 ~ /^-/ { sub(/^\.\//, "", $6); print $6 }' "$work/deb-listing" >"$work/deb-files"
if compare_lists deb_files "$work/deb-files"; then
  pass "the package holds the $(wc -l <"$work/deb-files") expected files"
else
  fail "the package's files are not the expected ones"
fi
# Owned by root; programs executable, modules, libraries and documents not.
bad_modes=$(awk '$2 != "root/root" ||
  ($1 ~ /^d/ && $1 != "drwxr-xr-x") ||
  ($1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x") ||
  ($1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--")' "$work/deb-listing")
[ -z "$bad_modes" ] && pass "owners and modes" || fail "owners or modes:"$'\n'"$bad_modes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tk42r ] && [ "$(field Version)" = "$version" ] &&
  [ "$(field Architecture)" = amd64 ] && pass "name, version and architecture" ||
  fail "control fields: $(field Package) $(field Version) $(field Architecture)"
# The libraries the modules and tk42host link, as dpkg-shlibdeps found them.
depends=$(field Depends)
missing_depends=""
for library in libc6 libstdc++6 libfreetype6 libfontconfig1 libx11-6 libxcb1; do
  [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
    missing_depends+=" $library"
done
[ -z "$missing_depends" ] && pass "depends on the libraries it links" ||
  fail "Depends lacks$missing_depends: $depends"

lintian "$deb" >"$work/lintian.log" 2>&1 || true
grep -v '^running with root privileges' "$work/lintian.log" | sed 's/^/  lintian: /' || true
if grep -q '^E:' "$work/lintian.log"; then
  fail "lintian reports errors"
else
  pass "lintian reports no error"
fi

# The package holds this file.
has() { grep -q -x -F "$1" "$work/deb-files"; }

# Every Linux host looks in these folders without being told; the checks run
# as a user whose home and caches are new and empty.
check_hosts() {
  local home="$work/home"
  mkdir -p "$home"
  local -a env=(env -u LXVST_PATH -u VST_PATH -u LV2_PATH -u CLAP_PATH -u VST3_PATH
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"
    XDG_DATA_HOME="$home/.local/share")

  [ "$(command -v tk42host)" = /usr/bin/tk42host ] && pass "tk42host is on the PATH" ||
    fail "tk42host on the PATH is '$(command -v tk42host)'"
  local said
  said=$("${env[@]}" tk42host --version 2>&1) || true
  [ "$said" = "tk42host $version (TK42-R Limiter)" ] && pass "tk42host --version: $said" ||
    fail "tk42host --version says '$said', the package is $version"
  "${env[@]}" tk42host info /usr/lib/lxvst/TK42R.so >"$work/info.log" 2>&1 &&
    grep -q "TK42-R Limiter" "$work/info.log" &&
    pass "the installed tk42host loads the installed module" ||
    fail "tk42host info /usr/lib/lxvst/TK42R.so: $(cat "$work/info.log")"
  if has usr/share/man/man1/tk42host.1.gz; then
    "${env[@]}" MANWIDTH=80 man -P cat tk42host >"$work/man.txt" 2>&1 &&
      grep -q "tk42host" "$work/man.txt" && pass "man tk42host" ||
      fail "man tk42host: $(head -5 "$work/man.txt") (does dpkg exclude /usr/share/man here?)"
  fi

  # Qtractor's scanner reads TYPE:PATH lines and answers one line per
  # plug-in it could load; it exits 0 even when it loads nothing.
  local scan=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan line answer
  for line in VST2:/usr/lib/lxvst/TK42R.so CLAP:/usr/lib/clap/TK42R.clap; do
    has "${line#*:/}" || continue
    answer=$(echo "$line" | "${env[@]}" "$scan" 2>&1) || true
    [[ $answer == *"|TK42-R Limiter|"*"|${line#*:}|"* ]] && pass "Qtractor's scanner: $line" ||
      fail "Qtractor's scanner did not load $line: $answer"
  done

  # Ardour's scanners index the VST modules; then a headless Ardour, starting
  # from its default search paths, lists them from there.
  local ardour=/usr/lib/ardour7 expected=() path
  if has usr/lib/lxvst/TK42R.so; then
    "${env[@]}" LD_LIBRARY_PATH=$ardour $ardour/ardour-vst-scanner -f /usr/lib/lxvst/TK42R.so \
      >"$work/ardour-scan.log" 2>&1 || fail "Ardour's VST scanner: $(cat "$work/ardour-scan.log")"
    expected+=(/usr/lib/lxvst/TK42R.so)
  fi
  if has usr/lib/vst3/TK42R.vst3/Contents/x86_64-linux/TK42R.so; then
    "${env[@]}" LD_LIBRARY_PATH=$ardour $ardour/ardour-vst3-scanner -f /usr/lib/vst3/TK42R.vst3 \
      >"$work/ardour-scan3.log" 2>&1 ||
      fail "Ardour's VST3 scanner: $(cat "$work/ardour-scan3.log")"
    expected+=(/usr/lib/vst3/TK42R.vst3/Contents/x86_64-linux/TK42R.so)
  fi
  # Ardour 7.3 dies now and then in a headless run by itself: try again.
  local run status listed
  for run in 1 2 3; do
    rm -rf "$work/ardour-session"
    status=0
    "${env[@]}" TK42_SESSION="$work/ardour-session" timeout 120 ardour7-lua \
      "$here/list_plugins.lua" </dev/null >"$work/ardour-list.log" 2>&1 || status=$?
    [ $status -gt 128 ] && [ $status -ne 137 ] || break
    echo "  Ardour run $run died (status $status); trying again"
  done
  listed=$(grep -a '^tk42-plugin' "$work/ardour-list.log" || true)
  for path in "${expected[@]}"; do
    [[ $listed == *"TK42-R Limiter|$path"* ]] && pass "Ardour finds $path" ||
      fail "Ardour does not list $path: $(grep -a -i 'tk42\|error' "$work/ardour-list.log")"
  done

  # LV2 hosts find bundles through lilv: the plug-in the bundle describes
  # resolves to the installed bundle from lilv's default path.
  if has usr/lib/lv2/tk42r.lv2/manifest.ttl; then
    local uri
    uri=$(tr '\n' ' ' </usr/lib/lv2/tk42r.lv2/manifest.ttl |
      grep -o '<[^>]*>[[:space:]]*a[[:space:]]*lv2:Plugin' | head -1 | sed 's/^<\([^>]*\)>.*/\1/' ||
      true)
    "${env[@]}" lv2info "$uri" >"$work/lv2info.log" 2>&1 || true
    grep -q 'file:///usr/lib/lv2/tk42r.lv2/' "$work/lv2info.log" &&
      pass "lilv finds $uri in /usr/lib/lv2/tk42r.lv2" ||
      fail "lilv does not find '$uri' in /usr/lib/lv2: $(head -5 "$work/lv2info.log")"
  fi
}

# The system's own folders: every file the package installed, and the
# folders only it used.
check_removed() {
  local left
  left=$(while IFS= read -r f; do [ ! -e "/$f" ] || echo "/$f"; done <"$work/deb-files")
  for d in /usr/lib/lxvst /usr/lib/clap /usr/lib/vst3 /usr/lib/lv2/tk42r.lv2 /usr/share/doc/tk42r; do
    [ ! -d "$d" ] || [ -n "$(ls -A "$d")" ] || left+=$'\n'"$d (empty)"
  done
  [ -z "$left" ] && pass "$1 leaves none of its files" || fail "$1 left:"$'\n'"$left"
}

package_status() { dpkg-query -W -f='${db:Status-Status}' tk42r 2>/dev/null || echo not-installed; }

if [ "$(id -u)" -ne 0 ]; then
  fail "installing with dpkg needs root"
else
  # One install at a time on this machine; what another run installed is
  # not ours to remove.
  mkdir -p /var/lock
  exec 9>/var/lock/tk42r-package-test.lock
  flock 9
  # Set while the package is installed by a run: one killed outright (no
  # trap runs then) leaves it behind, and the next run removes that install.
  ours=/var/lock/tk42r-package-test.installed
  if [ -e "$ours" ] && [ "$(package_status)" != not-installed ]; then
    echo "  a previous run was stopped with the package installed: purging it"
    dpkg --purge tk42r >/dev/null
  fi
  rm -f "$ours"
  if [ "$(package_status)" != not-installed ]; then
    fail "tk42r is already installed here ($(package_status)): dpkg --purge tk42r, then test again"
  else
    # Whatever happens from here, the package does not stay on the machine.
    trap 'dpkg --purge tk42r >/dev/null 2>&1 || true; rm -f "$ours"' EXIT
    trap 'exit 130' INT TERM HUP
    touch "$ours"
    if dpkg -i "$deb" >"$work/dpkg-install.log" 2>&1; then
      pass "dpkg -i"
      check_hosts
    else
      fail "dpkg -i: $(cat "$work/dpkg-install.log")"
    fi
    dpkg -r tk42r >"$work/dpkg-remove.log" 2>&1 || fail "dpkg -r: $(cat "$work/dpkg-remove.log")"
    check_removed "dpkg -r"
    dpkg --purge tk42r >>"$work/dpkg-remove.log" 2>&1 || fail "dpkg --purge"
    [ "$(package_status)" = not-installed ] && pass "purged" ||
      fail "after --purge the package is $(package_status)"
    rm -f "$ours"
    trap - EXIT INT TERM HUP
  fi
  exec 9>&-
fi
