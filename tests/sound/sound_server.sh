#!/bin/sh
# Makes sure a sound server answers: the desktop's own, or a PulseAudio daemon with a null sink.
pactl info >/dev/null 2>&1 && exit 0
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi
pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    --load=module-always-sink >/dev/null 2>&1
for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && exit 0
    sleep 0.1
done
echo "no sound server could be reached or started" >&2
exit 1
