#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the tool against the simulated ECU on a virtual screen with an
# accessibility bus, and reads its window through AT-SPI.
#   scripts/check_accessibility.sh [build-dir] [--list]
# Needs: xvfb, dbus-x11, at-spi2-core, python3-pyatspi.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
if [[ -z "${KAVRIN_A11Y_INNER:-}" ]]; then
  export KAVRIN_A11Y_INNER=1
  exec xvfb-run -a -s "-screen 0 1366x768x24" dbus-launch --exit-with-session "$0" "$build" "$@"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
ready=$(mktemp)
"$build/bin/kavrin-ecusim" --port 9 --select --ready-file "$ready" &
sim=$!
for _ in $(seq 100); do [[ -s "$ready" ]] && break; sleep 0.1; done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/bin/kavrin" &
tool=$!
trap 'kill $tool $sim $bus 2>/dev/null || true; rm -rf "$XDG_CONFIG_HOME" "$ready"' EXIT
sleep 3
# The system Python: the AT-SPI bindings come with the distribution.
/usr/bin/python3 scripts/check_accessibility.py "$@"
