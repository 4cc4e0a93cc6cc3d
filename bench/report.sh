#!/usr/bin/env bash
# Builds the benchmarks in Release and prints ticks per second of the headless
# core (24 stations) as a table of scheme by topology with an idle row, the
# growth of Space's cost with the station count, the peak memory of maclab-run
# over a 100,000-tick script, and the wall time of one throughput chart.
#
#   bench/report.sh                 build in build/ (the README's build directory)
#   BUILD_DIR=dir bench/report.sh   build somewhere else
#   MIN_TIME=1 bench/report.sh      seconds per benchmark (default 0.5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
min_time=${MIN_TIME:-0.5}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMACLAB_BENCH=ON >/dev/null
cmake --build "$build" --target maclab-bench -j"$jobs" >/dev/null
# The runner too, when the tree has one, so its memory is measured in Release.
[ -f src/runner/CMakeLists.txt ] && cmake --build "$build" --target maclab-run -j"$jobs" >/dev/null
cmake --build "$build" --target maclab-sweep -j"$jobs" >/dev/null

json=$(mktemp)
sweepdir=$(mktemp -d)
trap 'rm -rf "$json" "${script:-}" "$sweepdir"' EXIT
"$build/maclab-bench" --benchmark_min_time="$min_time" --benchmark_format=json >"$json" 2>/dev/null

echo "maclab core: ticks per second (CPU time), 24 stations, Release build, nothing drawn"
echo "rows 'scheme': a started run at offered traffic 2.0 (Unreliable), after 5000 ticks of warm-up"
echo "row 'idle': a started run at offered traffic 0, every queue empty, the medium silent"
echo "row 'medium only': the medium step alone, every station's Output busy"
echo "row 'saturated tick': whole ticks, ALOHA, every station's queue kept full"
echo "column 'Space/Bus': the slower radio topology against the Bus in the same run"
echo
awk '
  /"name":/ { gsub(/[",]/, "", $2); name = $2 }
  /"ticks_per_s":/ { gsub(/,/, "", $2); rate[name] = $2 }
  function show(v) {
    if (v == "") printf " %11s", "-"
    else if (v >= 1e6) printf " %10.2fM", v / 1e6
    else printf " %10.0fk", v / 1e3
  }
  END {
    ntopo = split("Bus Star Ring Space Wide_Space", topo, " ")
    nrow = split("ALOHA Slotted_ALOHA CSMA CSMA-CD CSMA-CD_+_R RTS-CTS Token_Passing Polling idle medium tick", row, " ")
    printf "%-16s", "scheme"
    for (t = 1; t <= ntopo; t++) { h = topo[t]; gsub(/_/, " ", h); printf " %11s", h }
    printf " %10s\n", "Space/Bus"
    lowest = ""
    for (r = 1; r <= nrow; r++) {
      label = row[r]
      if (label == "medium") label = "medium only"
      else if (label == "tick") label = "saturated tick"
      else { gsub(/_/, " ", label); gsub(/-/, "/", label) }
      printf "%-16s", label
      scheme = !(row[r] == "medium" || row[r] == "tick" || row[r] == "idle")
      for (t = 1; t <= ntopo; t++) {
        key = scheme ? "scheme/" row[r] "/" topo[t] : row[r] "/" topo[t]
        show(rate[key])
        if (scheme && rate[key] != "" && (lowest == "" || rate[key] + 0 < lowest + 0)) lowest = rate[key]
      }
      bus = rate[(scheme ? "scheme/" row[r] "/" : row[r] "/") "Bus"]
      sp = rate[(scheme ? "scheme/" row[r] "/" : row[r] "/") "Space"]
      ws = rate[(scheme ? "scheme/" row[r] "/" : row[r] "/") "Wide_Space"]
      if (bus != "" && sp != "" && ws != "") printf " %10.2f", (sp < ws ? sp : ws) / bus
      printf "\n"
    }
    printf "\nslowest scheme row entry: %.2fM ticks/s\n", lowest / 1e6
    printf "Space, ALOHA, offered traffic 2.0, by station count:"
    for (n = 2; n <= 24; n = (n == 2 ? 8 : 24)) {
      printf "  %d: %.2fM", n, rate["space/" n] / 1e6
      if (n == 24) break
    }
    if (rate["space/8"] != "" && rate["space/24"] != "")
      printf "  (cost per tick 8 -> 24 stations: %.2fx for 3x the stations)", rate["space/8"] / rate["space/24"]
    printf "\n"
  }' "$json"

echo
runner=$build/maclab-run
[ -x "$runner" ] || runner=build/maclab-run
if [ -x "$runner" ] && [ -x /usr/bin/time ]; then
  script=$(mktemp)
  printf '%s\n' 'pick cmbTopology Bus' 'pick cmbNodes  24' 'pick cmbScheme CSMA/CD' \
    'pick cmbOT 2.0' 'click cmdStart 0' 'tick 100000' 'summary' >"$script"
  out=$( { /usr/bin/time -v "$runner" "$script" >/dev/null; } 2>&1 )
  peak=$(printf '%s\n' "$out" | awk -F': ' '/Maximum resident set size/ { print $2 }')
  wall=$(printf '%s\n' "$out" | awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }')
  echo "maclab-run, 100,000 ticks (Bus, CSMA/CD, 24 stations, offered traffic 2.0): peak memory ${peak} KiB, wall time ${wall}"
elif [ ! -x "$runner" ]; then
  echo "maclab-run: not built at $runner, peak memory not measured"
else
  echo "maclab-run: /usr/bin/time not installed (Debian package 'time'), peak memory not measured"
fi

# One throughput chart: maclab-sweep's twelve default points of 1,000,000 ticks each.
if [ -x /usr/bin/time ]; then
  out=$( { /usr/bin/time -f '%e %U' "$build/maclab-sweep" --ticks 1000000 --out "$sweepdir/sweep" >/dev/null; } 2>&1 | tail -1)
  echo "maclab-sweep, 12 points x 1,000,000 ticks (ALOHA, Star, 24 stations), $(nproc) cores: wall ${out%% *} s, CPU ${out##* } s"
fi
