#!/usr/bin/env bash
# Release check: the README's test command run once, from nothing, as a new user would, in a
# fresh minimal Debian 12 root holding a clean clone of this repository's HEAD. Prints the time
# each phase took. Needs root. The root is left in a folder under /var/tmp unless it passes.
#   tools/fresh-check.sh [ROOT_FOLDER]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$(mktemp -d /var/tmp/chenxing-fresh.XXXXXX)}
# mktemp makes the folder 0700, which inside the root would keep every user but root out of "/".
chmod 755 "$root"
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
mirror=${mirror:-http://deb.debian.org/debian}

declare -a times=()
started=$(date +%s)
phase_start=$started
phase() {
  local now
  now=$(date +%s)
  [ -z "${current:-}" ] || times+=("$(printf '%-42s %5d s' "$current" $((now - phase_start)))")
  current=$1
  phase_start=$now
  [ -z "$current" ] || echo "=== $current ($(date +%T))"
}
report() {
  phase ""
  echo
  echo "fresh-machine check, phase times:"
  printf '  %s\n' "${times[@]}"
  echo "  total: $(($(date +%s) - started)) s"
}

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
mount_in() {  # mount_in TARGET mount-arguments...
  local target=$root$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounted+=("$target")
}

phase "minimal Debian 12 root (debootstrap minbase)"
command -v debootstrap >/dev/null || { apt-get update -qq && apt-get install -y -qq debootstrap; }
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 \
  || { tail -n 30 "$root.debootstrap.log" >&2; exit 1; }
# The same package sources as a fresh Debian 12 installation.
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
SOURCES
cp /etc/resolv.conf "$root/etc/resolv.conf"

phase "clean clone of HEAD"
git clone -q --no-local "$top" "$root/root/chenxing"

mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs tmpfs
mount_in /tmp -t tmpfs tmpfs

phase "README test command (bash tools/setup.sh test)"
status=0
# A new user's environment: no display, no sound server, nothing of this machine's.
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 CI=true \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /root/chenxing && bash tools/setup.sh test' 2>&1 | tee "$root.log" || status=${PIPESTATUS[0]}
report
if [ "$status" -ne 0 ]; then
  echo "FAILED with status $status; the root and its log are kept: $root, $root.log" >&2
  exit "$status"
fi
cleanup
mounted=()
# Never remove a root that still has something mounted in it (/dev is the host's own).
if ! grep -q " $root/" /proc/mounts; then
  rm -rf "$root" "$root.debootstrap.log"
fi
echo "passed (log: $root.log)"
