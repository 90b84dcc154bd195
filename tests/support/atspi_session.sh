#!/usr/bin/env bash
# Runs a Python check in a private D-Bus session with its own AT-SPI bus:
# atspi_session.sh SCRIPT ARGS...
set -euo pipefail
exec dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  # The accessibility bus is up once its launcher answers with the bus address.
  for _ in $(seq 600); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    echo "gave up after 60 s waiting for the accessibility bus (org.a11y.Bus) to answer" >&2
    exit 1
  fi
  status=0
  /usr/bin/python3 "$@" || status=$?
  kill $launcher 2>/dev/null || true
  exit $status
' bash "$@"
