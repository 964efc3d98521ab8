#!/usr/bin/env bash
# Figures of Tollan under Wine while it runs the stand-in server:
#   - command latency: posted "List Players" click to the stand-in's record (median of 20);
#   - CPU of the Tollan.exe Wine process (utime+stime from /proc over 60 s), quiet and flooded;
#   - resident memory at the start of a flood and after FLOOD_MINUTES (default 10) of it.
# Usage: bench/wine_run_figures.sh <windows build tree>   (needs WINEPREFIX and DISPLAY set up;
# port 25600 must be free). Prints FIGURE lines.
set -euo pipefail
tree=$(cd "${1:?windows build tree}" && pwd)
cd "$(dirname "$0")/.."
driver=$tree/bin/TollanDriver.exe
tollan=$tree/bin/Tollan.exe
work=$tree/figures
minutes=${FLOOD_MINUTES:-10}
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
  local pid
  pid=$(pgrep -f 'DedicatedServerUtility\\Tollan.exe' | head -1)
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
    local start end
    start=$(rss_kb "$pid")
    echo "FIGURE rss_flood_start_kb $start"
    echo "FIGURE cpu_flood_percent $(cpu_over "$pid" 60)"
    sleep $((minutes * 60 - 60))
    end=$(rss_kb "$pid")
    echo "FIGURE rss_flood_end_kb $end (after $minutes min)"
    awk -v a="$start" -v b="$end" 'BEGIN {printf "FIGURE rss_flood_ratio %.3f\n", b / a}'
  fi
}

export DQ2SIM_QUIET=1
run quiet
unset DQ2SIM_QUIET
# Faster than the follower's 255 bytes per cycle, for the whole measurement.
export DQ2SIM_FLOOD_BYTES_PER_SEC=4000
export DQ2SIM_FLOOD_BYTES=$((4000 * (minutes * 60 + 300)))
run flood
