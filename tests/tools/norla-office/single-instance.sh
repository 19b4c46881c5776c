#!/usr/bin/env bash
# One running instance per session: starting norla-office again, or tapping one of its notifications,
# brings the running instance's window to the front; no second process stays and no second window opens.
# Runs on a private session bus and X server of its own:
#   dbus-run-session -- xvfb-run -a single-instance.sh NORLA_OFFICE
set -euo pipefail
app=$1
id=jp.norla.office
object=/${id//.//}

scratch=$(mktemp -d -t norla-single.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "single-instance: $*" >&2; exit 1; }

export XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache
export NorlaAppURL=about:blank
export WEBKIT_DISABLE_DMABUF_RENDERER=1
[ "$(id -u)" -ne 0 ] || export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1

# Waits up to a minute: sanitizer builds on a busy machine start slowly.
wait_for() {
  for _ in $(seq 1 600); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# (Outputs are read whole: with pipefail, "grep -q" ending a pipe early fails the pipe.)
owned() {
  local answer
  answer=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$id")
  [[ $answer == *true* ]]
}
# Mapped top-level windows, top to bottom (as xwininfo lists them), as "window pid".
stack() {
  xwininfo -root -children | awk '/^ +0x/ { print $1 }' | while read -r window; do
    [[ $(xwininfo -id "$window") == *"Map State: IsViewable"* ]] || continue
    pid=$(xprop -id "$window" _NET_WM_PID 2>/dev/null | sed -n 's/.* = //p')
    echo "$window ${pid:-none}"
  done
}
windows_of() { stack | awk -v pid="$1" '$2 == pid' | wc -l; }
on_top() { [ "$(stack | head -n 1 | cut -d' ' -f2)" = "$1" ]; }
cover() {
  xmessage -geometry 1400x1000+0+0 "cover" &
  local cover_pid=$!
  pids+=("$cover_pid")
  wait_for eval '! on_top "$first"' || fail "the cover window did not come over the application's window"
}

"$app" >"$scratch/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_for owned || fail "the first instance did not take the name $id on the session bus"
wait_for eval '[ "$(windows_of "$first")" -ge 1 ]' || fail "the first instance shows no window"
# The audio libraries wait for the first recording operation.
audio=$(grep -E 'libavcodec|libpulse' "/proc/$first/maps" || true)
[ -z "$audio" ] || fail "the audio libraries are loaded before any recording: $audio"
# The desktop matches the window to the launcher's entry by its class (StartupWMClass).
window=$(stack | awk -v pid="$first" '$2 == pid { print $1; exit }')
[[ $(xprop -id "$window" WM_CLASS) == *"\"$id\""* ]] || fail "the window's class is not $id: $(xprop -id "$window" WM_CLASS)"

# A second start hands over to the first and ends at once, successfully.
cover
start=$(date +%s)
timeout 60 "$app" >"$scratch/second.log" 2>&1 || fail "the second start failed: $(cat "$scratch/second.log")"
[ $(($(date +%s) - start)) -lt 45 ] || fail "the second start took too long"
wait_for on_top "$first" || fail "the running instance's window did not come to the front"$'\n'"$(stack)"
[ "$(windows_of "$first")" -eq 1 ] || fail "a second window opened"$'\n'"$(stack)"
kill -0 "$first" || fail "the first instance went away"

# A tap on a notification reaches the running instance as its action, and does the same.
cover
gdbus call --session --dest "$id" --object-path "$object" \
  --method org.freedesktop.Application.ActivateAction notification-response "[<'{}'>]" '{}' >/dev/null
wait_for on_top "$first" || fail "a notification tap did not bring the window to the front"$'\n'"$(stack)"
[ "$(windows_of "$first")" -eq 1 ] || fail "a notification tap opened a window"
echo "single-instance: ok"
