# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages the build, the tests and the demo need. Sourced by ./run and ./test.
#   the build: cmake ninja-build g++ qt6-base-dev qt6-serialport-dev
#   the tests and benchmarks: libgtest-dev libgmock-dev libbenchmark-dev
#   the comma locale of the number-text tests: locales
#   the datalog's CSV read back by a data tool: python3-pandas
#   every source file checked for Windows: g++-mingw-w64-x86-64-posix
#   the Debian package and its check: dpkg-dev lintian
KAVRIN_PACKAGES=(
  cmake ninja-build g++
  qt6-base-dev qt6-serialport-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  locales
  # the checks of the desktop entry and the AppStream metadata
  desktop-file-utils appstream
  # the Debian package (cpack reads its dependencies with dpkg-shlibdeps) and its check
  dpkg-dev lintian
  # the datalog test reads a log back with pandas
  python3-pandas
  # libFuzzer, for the fuzz targets
  clang libclang-rt-14-dev
  # the Windows syntax check of every source file
  g++-mingw-w64-x86-64-posix
)

kavrin_install_packages() {
  local missing=()
  for p in "${KAVRIN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# A locale whose decimal separator is a comma, for the tests that prove the
# number texts never follow the process locale.
kavrin_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  if [[ $(id -u) -eq 0 ]] && command -v localedef >/dev/null; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
  fi
}
