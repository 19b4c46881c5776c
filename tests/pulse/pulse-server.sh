#!/usr/bin/env bash
# A private headless PulseAudio server for the recording tests, in its own runtime directory so that it
# meets no other server on the machine:
#   ci_sink      a null sink, the default sink: what the computer "plays" (system audio)
#   ci_mic       the default source, a virtual microphone fed by whatever is played into ci_mic_sink
# usage: pulse-server.sh start|stop DIR
# The tests reach it through PULSE_SERVER=unix:DIR/runtime/native.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?directory}
mkdir -p "$dir/runtime" "$dir/state" "$dir/home"
chmod 700 "$dir/runtime"
export PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" HOME="$dir/home"
export PULSE_SERVER="unix:$dir/runtime/native"
unset XDG_RUNTIME_DIR

stop_server() {
    local pid
    pid=$(cat "$dir/runtime/pid" 2>/dev/null || true)
    if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$dir/runtime/pid" "$dir/runtime/native"
}
fail() {
    echo "pulse-server: $1" >&2
    cat "$dir/pulse.log" >&2
    stop_server
    exit 1
}

[ "$action" = start ] || [ "$action" = stop ] || { echo "usage: pulse-server.sh start|stop DIR" >&2; exit 2; }
stop_server
[ "$action" = start ] || exit 0
command -v pulseaudio >/dev/null || { echo "pulse-server: pulseaudio is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
: >"$dir/pulse.log"
# -n: no default configuration, only the modules named here. Running as root only warns. Without shared
# memory, clients talk to the server over the socket alone: the thread sanitizer cannot follow the shared
# ring buffers' own synchronisation and would report races inside the client library.
pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --system=no --disable-shm=yes \
    --log-target="file:$dir/pulse.log" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/runtime/native" \
    -L "module-null-sink sink_name=ci_sink rate=16000 channels=1" \
    -L "module-null-sink sink_name=ci_mic_sink rate=16000 channels=1" \
    -L "module-remap-source master=ci_mic_sink.monitor source_name=ci_mic" \
    || fail "pulseaudio did not start:"
for _ in $(seq 100); do
    if timeout 5 pactl info >/dev/null 2>&1; then
        timeout 5 pactl set-default-sink ci_sink
        timeout 5 pactl set-default-source ci_mic
        echo "pulse-server: running at $PULSE_SERVER"
        exit 0
    fi
    sleep 0.1
done
fail "the server did not answer within 10 s:"
