#!/bin/bash
# The main job of Varnek without a window: builds varnek-send and the modem
# simulator, starts the simulator on a pty, and sends the sample message to
# the sample list through it, showing the progress and the outcome, then
# where the logs and the duplicate markers are.
# Usage: scripts/demo.sh   (as root on a fresh Debian 12 it installs what the
# build needs; build folder build/native unless VARNEK_BUILD is set)
# Exits with the status of varnek-send (0: every number sent).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNEK_BUILD:-$root/build}
jobs=${VARNEK_JOBS:-$(nproc)}

mkdir -p "$build"
echo "== installing the build's packages (log: $build/install-deps.log)"
"$root/scripts/install-deps.sh" >"$build/install-deps.log" 2>&1 ||
  { tail -n 40 "$build/install-deps.log"; exit 1; }

echo "== building varnek-send and varnek-modem-sim in $build/native"
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >"$build/native.configure.log" 2>&1 ||
  { cat "$build/native.configure.log"; exit 1; }
cmake --build "$build/native" -j "$jobs" --target varnek-send varnek-modem-sim >"$build/demo.build.log" 2>&1 ||
  { tail -n 40 "$build/demo.build.log"; exit 1; }

# The program folder: varnek-send keeps its settings file, "logs" and
# "PHONES" beside itself, so it runs from a copy of its own here.
demo=$(mktemp -d "${TMPDIR:-/tmp}/varnek-demo.XXXXXX")
program="$demo/program"
mkdir "$program"
cp "$build/native/tools/varnek-send/varnek-send" "$program/"

sim_pid=
stop_sim() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap stop_sim EXIT

echo "== starting the simulated modem on $demo/modem"
"$build/native/tools/modemsim/varnek-modem-sim" --link "$demo/modem" --record "$demo/sim-record.txt" \
  --ready-file "$demo/sim-ready" --max-seconds 600 >"$demo/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  [ -e "$demo/sim-ready" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$demo/sim.log"; exit 1; }
  sleep 0.05
done
[ -e "$demo/sim-ready" ] || { echo "the simulator did not start" >&2; exit 1; }

echo "== varnek-send: samples/phones.txt, samples/message.txt (code page 1251)"
set -x
status=0
"$program/varnek-send" --device "$demo/modem" --check --pause 1:2 \
  --list "$root/samples/phones.txt" --text-file "$root/samples/message.txt" || status=$?
{ set +x; } 2>/dev/null
echo "== varnek-send ended with status $status"

echo "== program folder: $program"
echo "   logs:    $program/logs"
echo "   markers: $program/PHONES"
ls -1 "$program/PHONES" 2>/dev/null | sed 's/^/     /' || true
for name in mess engine modem; do
  for log in "$program"/logs/*."$name"; do
    [ -e "$log" ] || continue
    echo "== tail of $log"
    # The logs are code page 1251 with CR LF line ends.
    tail -n 8 "$log" | iconv -f CP1251 -t UTF-8 | tr -d '\r'
  done
done
stop_sim
echo "== simulator stopped; its record of submissions: $demo/sim-record.txt"
exit "$status"
