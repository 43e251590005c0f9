# Sourced by the project's scripts: installs the Debian packages the builds
# and tests need, only when something is missing.
# One package a line, so that lists grown on several branches merge.
TK42_PACKAGES=(
  cmake
  ccache
  make
  g++
  g++-mingw-w64-x86-64-posix
  wine64
  xvfb
  xauth
  libstb-dev
  googletest
  libgtest-dev
  libbenchmark-dev
  libfreetype-dev
  libfontconfig-dev
  fonts-liberation
  sox
  libmpfr-dev
  clang
  libfuzzer-14-dev
  nlohmann-json3-dev
  ffmpeg
  hydrogen-data
  lmms-common
  ardour
  librsvg2-bin
  pkg-config
  libxcb1-dev
  libxcb-shm0-dev
  libx11-dev
  libxtst-dev
  lv2-dev
  sordi
  lilv-utils
  jalv
  jackd2
  lv2file
  x11-utils
  dpkg-dev
  lintian
  nsis
  man-db
  qtractor
  unzip
  groff-base
)
# Only ./bench.sh needs these: the x42-dpl peer and the LV2 host library that
# drives it.
TK42_BENCH_PACKAGES=(
  hydrogen-data
  x42-plugins
  liblilv-dev
  lv2-dev
  pkg-config
)

ensure_packages() {
  local missing=()
  for p in "${TK42_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}
