#!/usr/bin/env bash
# Set-up for a Debian 12 machine: installs what is missing, builds, makes the recordings, then
# either starts the program ("run") or runs every test ("test"). Safe to run again: each step
# skips what is already done.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
build=${CHENXING_BUILD:-$top/build}

packages=(
  cmake ninja-build g++ python3 python3-fonttools
  qt6-base-dev qt6-multimedia-dev qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev
  qt6-svg-dev qt6-qpa-plugins libgl-dev qt6-translations-l10n
  fonts-arphic-uming fonts-noto-cjk fonts-sil-charis fonts-dejavu-core
  espeak-ng flite sox xvfb xauth x11-utils openbox pulseaudio pulseaudio-utils
  golang-github-mozillazg-go-pinyin-dev libbenchmark-dev pocketsphinx-en-us python3-pocketsphinx
  at-spi2-core python3-pyatspi dbus xdotool desktop-file-utils appstream dpkg-dev
  clang libclang-rt-14-dev valgrind
  weston qt6-wayland libqt6sql6-sqlite qt6-charts-dev sqlite3
  fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 ibus ibus-libpinyin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The build also makes the recordings of the sound table (once) in "$build/sound".
cmake --build "$build"

# A display and a sound output for machines without a desktop session. "run" shows the program on
# the user's own desktop, Wayland or X11; the tests need an X server (they drive it with X tools).
desktop() {
  if [ -z "${DISPLAY:-}" ] && { [ "$1" = test ] || [ -z "${WAYLAND_DISPLAY:-}" ]; }; then
    # A display server of our own. -displayfd lets it take the first free number and say which,
    # so a socket or lock file left behind by a killed server never stands in the way.
    local number
    number=$(mktemp)
    # -noreset: the server must not reset when its last client leaves, or the next program to
    # connect during the reset fails to open the display.
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    servers+=("$!")
    for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$number")"
    rm -f "$number"
    if [ "$DISPLAY" = ":" ] || ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      echo "could not start a display server (Xvfb)" >&2
      exit 1
    fi
    # A window manager, as on a user's desktop: windows are activated and focused when shown.
    openbox --sm-disable >/dev/null 2>&1 &
    servers+=("$!")
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
    if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      echo "could not start the window manager (openbox)" >&2
      exit 1
    fi
  fi
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    # A fresh runtime folder, so nothing a killed sound server left behind is reused.
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/chenxing-runtime.XXXXXX)
    export XDG_RUNTIME_DIR
    runtime=$XDG_RUNTIME_DIR
  fi
  if ! pactl info >/dev/null 2>&1; then
    pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false -n \
      --load="module-null-sink sink_name=null" --load="module-native-protocol-unix" \
      --load="module-always-sink" >/dev/null 2>&1 || true
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pulse=1
  fi
}

# Stops what desktop() started.
servers=()
runtime=
pulse=
cleanup() {
  [ -z "$pulse" ] || pulseaudio --kill >/dev/null 2>&1 || true
  [ ${#servers[@]} -eq 0 ] || kill "${servers[@]}" 2>/dev/null || true
  [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT

case "${1:-run}" in
  run)
    desktop run
    cd "$build"   # the recordings are found from here
    if [ -n "${WAYLAND_DISPLAY:-}" ]; then
      # On a Wayland session the program shows there, falling back to X11 where Wayland fails.
      QT_QPA_PLATFORM="wayland;xcb" "$build/app/chenxing"
    else
      "$build/app/chenxing"
    fi
    ;;
  test)
    desktop test
    (cd "$build" && ctest --output-on-failure --timeout 600 "${@:2}")
    # Then the sanitizer build of the whole suite, a short fuzzing run and the leak check.
    bash "$top/tools/ci_extra.sh"
    ;;
  *)
    echo "usage: tools/setup.sh [run|test]" >&2
    exit 2
    ;;
esac
