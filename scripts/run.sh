#!/usr/bin/env bash
# Builds NorlaOffice, starts the demo web application on loopback and opens NorlaOffice on it.
#
#   scripts/run.sh [--port N] [--screenshot FILE] [--build-dir DIR]
#
#   --port N           port of the demo server (default 8765; the next port serves the second origin)
#   --screenshot FILE  save a picture of the window once the first page has loaded, then quit
#   --build-dir DIR    where to build (default: build-run in the repository)
#
# Without a display (no DISPLAY or WAYLAND_DISPLAY) the window opens on a virtual X server (xvfb-run -a).
# Packages that are missing are installed first with scripts/setup.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

port=8765
screenshot=""
build_dir="$here/build-run"
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="$2"; shift 2 ;;
    --screenshot) screenshot="$2"; shift 2 ;;
    --build-dir) build_dir="$2"; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
case "$port" in ''|*[!0-9]*) echo "run.sh: --port needs a number" >&2; exit 2 ;; esac
if [ -n "$screenshot" ]; then
  mkdir -p "$(dirname "$screenshot")"
  screenshot="$(cd "$(dirname "$screenshot")" && pwd)/$(basename "$screenshot")"
fi

# Install only when something the run needs is missing.
if ! { command -v cmake && command -v node && command -v xvfb-run && pkg-config --exists webkitgtk-6.0 gtk4; } >/dev/null 2>&1; then
  "$here/scripts/setup.sh"
fi

cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build_dir" --target norla-office -j"$(nproc)"
app="$build_dir/src/tools/norla-office/norla-office"

log=$(mktemp -t norla-demo.XXXXXX)
node "$here/demo/server.js" --port "$port" >"$log" 2>&1 &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -f "$log"
}
trap cleanup EXIT

# The server prints its origins once it listens.
for _ in $(seq 1 100); do
  grep -q '^demo: ' "$log" && break
  if ! kill -0 "$server" 2>/dev/null; then
    cat "$log" >&2
    exit 1
  fi
  sleep 0.1
done
grep '^demo: ' "$log" || { echo "run.sh: the demo server did not start" >&2; exit 1; }

export NorlaAppURL="http://127.0.0.1:$port"
# WebKit's sandbox does not run as root, and its DMA-BUF renderer does not run on a virtual X server.
[ "$(id -u)" -ne 0 ] || export WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1

args=()
[ -z "$screenshot" ] || args+=(--screenshot "$screenshot")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export WEBKIT_DISABLE_DMABUF_RENDERER=1
  xvfb-run -a -s "-screen 0 1280x900x24" "$app" "${args[@]}"
else
  "$app" "${args[@]}"
fi
