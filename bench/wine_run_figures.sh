#!/usr/bin/env bash
# Figures of Tollan under Wine while it runs the stand-in server:
#   - command latency: posted "List Players" click to the stand-in's record (median of 20);
#   - CPU of the Tollan.exe Wine process (utime+stime from /proc over 60 s), quiet and flooded;
#   - resident memory over FLOOD_MINUTES (default 20) of a flood, sampled every minute;
#   - the title-bar close while running, once and twice in a row: from the stand-in's end to the end
#     of the run (the idle title), and from there to Tollan's end (twice each); and how long Tollan's
#     Linux process then waits as a zombie until PID 1 reaps it (see watch_reaping).
# Usage: bench/wine_run_figures.sh <windows build tree>   (needs WINEPREFIX and DISPLAY set up;
# port 25600 must be free). FIGURES="quiet flood close" picks the parts. Prints FIGURE lines.
set -euo pipefail
tree=$(cd "${1:?windows build tree}" && pwd)
cd "$(dirname "$0")/.."
driver=$tree/bin/TollanDriver.exe
tollan=$tree/bin/Tollan.exe
work=$tree/figures
minutes=${FLOOD_MINUTES:-20}
hz=$(getconf CLK_TCK)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

# One Tollan run; $1 = quiet|flood. Calls measure() once the server is logged in.
run() {
  local mode=$1 dir=$work/$1
  rm -rf "$dir"
  scripts/wine-run "$driver" figures "$tollan" "$dir" "$tree/demo-game" &
  local driverpid=$!
  while [ ! -f "$dir/figures.ready" ]; do
    kill -0 $driverpid 2>/dev/null || { echo "driver ended early" >&2; return 1; }
    sleep 1
  done
  # Other Wine sessions may run a Tollan too: ours is the one in our prefix.
  local pid="" p
  for p in $(pgrep -f 'DedicatedServerUtility\\Tollan.exe'); do
    if tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      pid=$p
      break
    fi
  done
  [ -n "$pid" ] || { echo "Tollan's process not found" >&2; return 1; }
  measure "$mode" "$pid"
  touch "$dir/figures.done"
  wait $driverpid
}

cpu_over() {  # $1 pid, $2 seconds -> percent of one core
  local a b
  a=$(ticks "$1"); sleep "$2"; b=$(ticks "$1")
  awk -v d=$((b - a)) -v hz="$hz" -v s="$2" 'BEGIN {printf "%.2f", 100 * d / hz / s}'
}

measure() {
  local mode=$1 pid=$2
  if [ "$mode" = quiet ]; then
    echo "FIGURE cpu_quiet_percent $(cpu_over "$pid" 60)"
  else
    local start end m
    start=$(rss_kb "$pid")
    echo "FIGURE rss_flood_start_kb $start"
    echo "FIGURE cpu_flood_percent $(cpu_over "$pid" 60)"
    echo "FIGURE rss_flood_minute_1_kb $(rss_kb "$pid")"
    for m in $(seq 2 "$minutes"); do
      sleep 60
      echo "FIGURE rss_flood_minute_${m}_kb $(rss_kb "$pid")"
    done
    end=$(rss_kb "$pid")
    awk -v a="$start" -v b="$end" -v m="$minutes" 'BEGIN {printf "FIGURE rss_flood_ratio %.3f (after %d min)\n", b / a, m}'
  fi
}

# Wine starts a Windows program as a grandchild of its parent's Unix process, so PID 1 adopts it.
# Once Tollan has ended, its Unix process stays in /proc as a zombie until PID 1 reaps it; where
# PID 1 reaps slowly (a container's init), a watch on the Linux process (kill -0, /proc/<pid>)
# sees Tollan end that much later than its Windows process handle does. The driver's figures are
# taken on the handle; this prints the zombie's wait, per Tollan process of our prefix, until the
# driver $1 has ended and every process seen is gone (at most 10 s more).
watch_reaping() {
  local -A state=() since=()
  local p st after=0
  while [ $after -lt 500 ] && { kill -0 "$1" 2>/dev/null || [[ " ${state[*]} " == *" alive "* || " ${state[*]} " == *" zombie "* ]]; }; do
    kill -0 "$1" 2>/dev/null || after=$((after + 1))
    for p in $(pgrep -f 'DedicatedServerUtility\\Tollan.exe' || true); do
      if [ -z "${state[$p]:-}" ] && grep -qxz "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null; then
        state[$p]=alive
      fi
    done
    for p in "${!state[@]}"; do
      case ${state[$p]} in
        alive)
          st=$(awk '{print $3}' "/proc/$p/stat" 2>/dev/null) || st=gone
          if [ "$st" = Z ]; then state[$p]=zombie; since[$p]=$(date +%s%3N); fi
          if [ "$st" = gone ]; then state[$p]=gone; echo "FIGURE close_linux_zombie_to_reaped_ms 0 (between two looks)"; fi ;;
        zombie)
          if [ ! -e "/proc/$p" ]; then
            state[$p]=gone
            echo "FIGURE close_linux_zombie_to_reaped_ms $(($(date +%s%3N) - since[$p]))"
          fi ;;
      esac
    done
    sleep 0.02
  done
}

parts=" ${FIGURES:-quiet flood close} "
if [[ $parts == *" quiet "* ]]; then
  DQ2SIM_QUIET=1 run quiet
fi
if [[ $parts == *" flood "* ]]; then
  # Faster than the follower's 255 bytes per cycle, for the whole measurement.
  DQ2SIM_FLOOD_BYTES_PER_SEC=4000 DQ2SIM_FLOOD_BYTES=$((4000 * (minutes * 60 + 300))) run flood
fi
if [[ $parts == *" close "* ]]; then
  wine "$driver" figures_close "$tollan" "$work/close" "$tree/demo-game" &
  driverpid=$!
  watch_reaping $driverpid
  wait $driverpid
fi
