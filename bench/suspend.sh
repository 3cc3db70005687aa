#!/bin/bash
# A run suspended while its message is in the modem's hands (native build
# only): varnek-send sends two numbers, with the duplicate check, to a
# simulated modem whose network answers 1 s after the message is whole. The
# moment the simulator has the first message's last byte (Ctrl-Z in its
# transcript) the run is stopped (SIGSTOP) for SECONDS, while the answer
# comes, and then continued (SIGCONT). Per round: whether the answer came
# while the run was stopped, the numbers that ended "Отправлен", their
# markers, the claims left, how long after SIGCONT the first number's
# outcome was logged, and a rerun on the same list and folder, which must
# send nothing: the simulator's record shows each number once.
# Usage: <build>/bench/suspend.sh [ROUNDS [SECONDS]]     (3 and 35)
set -euo pipefail
build=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
suspension=${2:-35}
. "$build/bench/simulators.sh"

# wait_for LIMIT COMMAND...: true as soon as the command succeeds, false
# when LIMIT seconds passed first.
wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.01
  done
}

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }

# logged NUMBER DIR: when the "mess" log of the program in DIR had the
# number's outcome, in seconds since 1970.
logged() {
  local line
  line=$(cat "$2"/logs/*.mess | grep -a -m1 " $1 ") || { echo "?"; return; }
  date -d "$(echo "$line" | awk '{ sub(",", ".", $2); print $1, $2 }')" +%s.%N
}

# count WORD FILE: the count of a state in varnek-send's table.
count() {
  grep -a "^$1: " "$2" | awk '{ print $NF }' || echo "?"
}

round() {  # N
  local dir=$work/round$1
  program "$dir"
  start_sim "$dir/sim" --network 1000:1000 --transcript "$dir/sim/transcript"
  local numbers=("$(printf '7922%07d' $((2 * $1 - 1)))" "$(printf '7922%07d' $((2 * $1)))")
  printf '%s\n' "${numbers[@]}" >"$dir/phones.txt"
  local args=(--device "$dir/sim/port" --check --markers "$dir/PHONES" --pause 0 --piece-pause 0
              --quiet --list "$dir/phones.txt" --text "Hello")
  # A process group of its own: when the shell that started this script
  # ends, the kernel sends its group, if a member is stopped, SIGHUP and
  # SIGCONT; the run's group stays joined to this script's.
  set -m
  "$dir/varnek-send" "${args[@]}" >"$dir/out" 2>"$dir/err" &
  local pid=$!
  set +m
  if ! wait_for 30 grep -q '^IN  .*\\x1a' "$dir/sim/transcript"; then
    kill "$pid" 2>/dev/null || true
    echo "round $1: the modem never had a whole message" >&2
    exit 1
  fi
  kill -STOP "$pid"
  local stopped
  stopped=$(now)
  # The simulator records a submission once it has answered it.
  local answered=no
  if wait_for "$suspension" test -s "$dir/sim/record"; then answered=yes; fi
  local left
  left=$(awk -v s="$suspension" -v t="$(since "$stopped")" \
    'BEGIN { d = s - t; print (d > 0 ? d : 0) }')
  sleep "$left"
  local held
  held=$(since "$stopped")
  local continued status=0
  continued=$(now)
  kill -CONT "$pid"
  wait "$pid" || status=$?
  # The log's time has whole milliseconds: a line in the same millisecond
  # may look a little earlier.
  local logged_at answer="?"
  logged_at=$(logged "${numbers[0]}" "$dir")
  if [ "$logged_at" != "?" ]; then
    answer=$(awk -v a="$continued" -v b="$logged_at" \
      'BEGIN { d = b - a; printf "%.0f ms", (d > 0 ? d * 1000 : 0) }')
  fi
  local marked=0 claims
  for number in "${numbers[@]}"; do [ -e "$dir/PHONES/$number" ] && marked=$((marked + 1)); done
  claims=$(find "$dir/PHONES" -name '*.claim' | wc -l)
  "$dir/varnek-send" "${args[@]}" >"$dir/rerun.out" 2>"$dir/rerun.err" || true
  stop_sims
  local submissions twice
  submissions=$(wc -l <"$dir/sim/record")
  twice=$(taken "$dir/sim/record" | sort | uniq -d | wc -l)
  printf '| %d | %.1f s | %s | %d | %s | %d | %d | %s | %s | %d | %d |\n' "$1" "$held" "$answered" \
    "$status" "$(count "Отправлен" "$dir/out")" "$marked" "$claims" "$answer" \
    "$(count "Дублирование номера" "$dir/rerun.out")" "$submissions" "$twice"
}

echo "varnek-send stopped for $suspension s the moment the modem has its first message;"
echo "the network answers 1 s after; two numbers a round"
echo
echo "| round | stopped | answer came meanwhile | exit status | sent | markers | claims left |" \
  "outcome after SIGCONT | rerun: duplicates | submissions | sent twice |"
echo "|---:|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|"
for r in $(seq "$rounds"); do round "$r"; done
