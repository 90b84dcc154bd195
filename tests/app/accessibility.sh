#!/usr/bin/env bash
# Runs the accessibility check in a private D-Bus session with its own AT-SPI bus.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  sleep 1
  /usr/bin/python3 "$0" "$1"
  status=$?
  kill $launcher 2>/dev/null || true
  exit $status
' "$here/accessibility.py" "$program"
