#!/bin/sh
# Runs a command as a program on a Wayland desktop: a weston of its own, shown in the X server
# (its X11 back end gives it a keyboard and a mouse as on a desktop; the headless one has none),
# Qt's Wayland platform, and no X display for the program to fall back on.
set -eu
runtime=$(mktemp -d /tmp/chenxing-wayland.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
weston --backend=x11-backend.so --use-pixman --socket=wayland-test --width=1280 --height=1024 --idle-time=0 \
    --no-config >"$runtime/weston.log" 2>&1 &
weston=$!
trap 'kill "$weston" 2>/dev/null || true; wait "$weston" 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do [ -S "$runtime/wayland-test" ] && break; sleep 0.1; done
if [ ! -S "$runtime/wayland-test" ]; then
    echo "could not start the Wayland compositor (weston)" >&2
    cat "$runtime/weston.log" >&2
    exit 1
fi
env -u DISPLAY WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
