#!/usr/bin/env bash
# Benchmark of `norla-rec mixdown` against FFmpeg's own command line doing the same job: two raw float
# tracks (16000 Hz, mono) joined into stereo, encoded with FFmpeg's native AAC encoder at 64 kb/s into
# m4a. Prints wall times, their ratio (ours / FFmpeg's, medians) and both peak memory figures.
#
#   bench/mixdown-bench.sh [--hours "1 5"] [--runs 3] [--norla-rec PATH] [--work DIR] [--nice N]
#                          [--dedicated-core]
#
# The first length is run --runs times; later (longer) lengths once each, to show that memory stays flat.
# Without --norla-rec the tool is built in Release mode into build-bench/ of the repository. CPU time is
# printed beside wall time: on a busy machine the scheduler favours FFmpeg's many short-sleeping threads
# over our single busy one, so wall times there say more about the load than about the work. --nice N
# runs both programs at that niceness (negative values need root); --dedicated-core (root) runs each of them
# alone on the last processor under round-robin real-time scheduling, as on a quiet machine.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
hours_list="1 5"
runs=3
tool=""
work_parent="${TMPDIR:-/tmp}"
niceness=0
dedicated=0

while [ $# -gt 0 ]; do
  case "$1" in
    --hours) hours_list="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --norla-rec) tool="$2"; shift 2 ;;
    --work) work_parent="$2"; shift 2 ;;
    --nice) niceness="$2"; shift 2 ;;
    --dedicated-core) dedicated=1; shift ;;
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

for needed in ffmpeg /usr/bin/time awk; do
  command -v "$needed" >/dev/null || { echo "missing: $needed (run scripts/setup.sh)" >&2; exit 1; }
done

if [ -z "$tool" ]; then
  echo "building norla-rec (Release) in build-bench/ ..." >&2
  cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$repo/build-bench" --target norla-rec -j2 >/dev/null
  tool="$repo/build-bench/src/tools/norla-rec/norla-rec"
fi

work=$(mktemp -d "$work_parent/norla-mixdown-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs a command under /usr/bin/time -v; prints "<wall seconds> <peak KiB> <CPU seconds>".
measure() {
  local report="$work/time.txt"
  local placement=()
  [ "$dedicated" = 1 ] && placement=(taskset -c "$(($(nproc) - 1))" chrt -r 1)
  nice -n "$niceness" "${placement[@]}" /usr/bin/time -v -o "$report" "$@" >/dev/null
  awk -F': ' '
    /Elapsed \(wall clock\)/ {
      n = split($2, p, ":"); s = 0
      for (i = 1; i <= n; i++) s = s * 60 + p[i]
      wall = s
    }
    /Maximum resident set size/ { rss = $2 }
    /User time \(seconds\)/ { cpu += $2 }
    /System time \(seconds\)/ { cpu += $2 }
    END { printf "%.2f %d %.2f\n", wall, rss, cpu }' "$report"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# What loading the tool alone costs (the shared libraries it links), to tell it from what a mixdown adds.
read -r _ base_rss _ < <(measure "$tool" --help)
read -r _ ffmpeg_base_rss _ < <(measure ffmpeg -nostdin -v error -version)
awk -v o="$base_rss" -v t="$ffmpeg_base_rss" 'BEGIN {
  printf "peak memory of loading alone: norla-rec %.1f MiB, ffmpeg %.1f MiB\n", o / 1024, t / 1024 }'

printf '%-6s %-4s %10s %10s %10s %10s %14s %14s\n' hours run "ours wall" "ffmpeg wall" "ours CPU" "ffmpeg CPU" \
  "ours peak MiB" "ffmpeg peak MiB"
first=1
for hours in $hours_list; do
  seconds=$(awk -v h="$hours" 'BEGIN { printf "%d", h * 3600 }')
  tracks="$work/tracks-$hours"
  mkdir -p "$tracks"
  # Pink noise keeps the encoder as busy as speech would; the two tracks differ.
  ffmpeg -nostdin -v error -f lavfi -i "anoisesrc=color=pink:amplitude=0.2:seed=1:sample_rate=16000:duration=$seconds" \
    -f f32le -ac 1 "$tracks/system.f32"
  ffmpeg -nostdin -v error -f lavfi -i "anoisesrc=color=pink:amplitude=0.1:seed=2:sample_rate=16000:duration=$seconds" \
    -f f32le -ac 1 "$tracks/mic.f32"

  count=1
  [ "$first" = 1 ] && count=$runs
  : >"$work/ours.txt"
  : >"$work/theirs.txt"
  for run in $(seq 1 "$count"); do
    # The mixdown removes its raw tracks: give it hard links so that the originals stay.
    session="$work/session-$hours-$run"
    mkdir "$session"
    ln "$tracks/system.f32" "$tracks/mic.f32" "$session/"
    read -r ours_wall ours_rss ours_cpu < <(measure "$tool" mixdown "$session")
    [ -s "$session/meeting.m4a" ] || { echo "norla-rec wrote no meeting.m4a" >&2; exit 1; }
    rm -rf "$session"

    read -r their_wall their_rss their_cpu < <(measure ffmpeg -nostdin -v error -y \
      -f f32le -ar 16000 -ac 1 -i "$tracks/system.f32" -f f32le -ar 16000 -ac 1 -i "$tracks/mic.f32" \
      -filter_complex "[0:a][1:a]join=inputs=2:channel_layout=stereo[a]" -map "[a]" \
      -c:a aac -b:a 64k -f ipod "$work/ffmpeg.m4a")
    rm -f "$work/ffmpeg.m4a"

    echo "$ours_wall $ours_rss $ours_cpu" >>"$work/ours.txt"
    echo "$their_wall $their_rss $their_cpu" >>"$work/theirs.txt"
    printf '%-6s %-4s %10s %10s %10s %10s %14.1f %14.1f\n' "$hours" "$run" "$ours_wall" "$their_wall" "$ours_cpu" "$their_cpu" \
      "$(echo "$ours_rss" | awk '{ print $1 / 1024 }')" "$(echo "$their_rss" | awk '{ print $1 / 1024 }')"
  done
  ours_median=$(awk '{ print $1 }' "$work/ours.txt" | median)
  their_median=$(awk '{ print $1 }' "$work/theirs.txt" | median)
  ours_cpu_median=$(awk '{ print $3 }' "$work/ours.txt" | median)
  their_cpu_median=$(awk '{ print $3 }' "$work/theirs.txt" | median)
  ours_peak=$(awk '{ print $2 }' "$work/ours.txt" | sort -n | tail -1)
  their_peak=$(awk '{ print $2 }' "$work/theirs.txt" | sort -n | tail -1)
  awk -v h="$hours" -v n="$count" -v o="$ours_median" -v t="$their_median" -v oc="$ours_cpu_median" \
    -v tc="$their_cpu_median" -v op="$ours_peak" -v tp="$their_peak" 'BEGIN {
    printf "%s h (median of %d): wall ours %.2f s, ffmpeg %.2f s, ratio %.3f; CPU ours %.2f s, ffmpeg %.2f s, ratio %.3f; peak memory ours %.1f MiB, ffmpeg %.1f MiB\n",
      h, n, o, t, (t > 0 ? o / t : 0), oc, tc, (tc > 0 ? oc / tc : 0), op / 1024, tp / 1024 }'
  rm -rf "$tracks"
  first=0
done
