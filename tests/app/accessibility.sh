#!/usr/bin/env bash
# Runs the accessibility check in a private D-Bus session with its own AT-SPI bus.
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../support/atspi_session.sh" "$here/accessibility.py" "$@"
