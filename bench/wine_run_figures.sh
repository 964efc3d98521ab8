#!/usr/bin/env bash
# Figures of Tollan under Wine while it runs the stand-in server:
#   - command latency: posted "List Players" click to the stand-in's record (median of 20);
#   - CPU of the Tollan.exe Wine process (utime+stime from /proc over 60 s), quiet and flooded;
#   - resident memory over FLOOD_MINUTES (default 20) of a flood, sampled every minute;
#   - the title-bar close while running: from the stand-in's end to Tollan's end (three times).
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

parts=" ${FIGURES:-quiet flood close} "
if [[ $parts == *" quiet "* ]]; then
  DQ2SIM_QUIET=1 run quiet
fi
if [[ $parts == *" flood "* ]]; then
  # Faster than the follower's 255 bytes per cycle, for the whole measurement.
  DQ2SIM_FLOOD_BYTES_PER_SEC=4000 DQ2SIM_FLOOD_BYTES=$((4000 * (minutes * 60 + 300))) run flood
fi
if [[ $parts == *" close "* ]]; then
  wine "$driver" figures_close "$tollan" "$work/close" "$tree/demo-game"
fi
