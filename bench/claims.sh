#!/bin/bash
# Exactly once across processes, measured with varnek-send and simulated
# modems (native build only):
#  (a) varnek-send killed (SIGKILL) at random moments, until at least KILLS
#      kills came while a message was in the modem's hands and its answer
#      had not come: one modem, then a pool of four; then a rerun on the same
#      list and folder. Counts: kills, kills inside the wait, numbers sent
#      twice (must be 0), the rerun's unconfirmed and sent numbers.
#  (b) 1, 2 and 4 varnek-send on one list and one marker folder, each with a
#      modem of its own: every number once, wall time and speed-up.
# Usage: <build>/bench/claims.sh [KILLS [NUMBERS]]     (40 and 60)
set -euo pipefail
build=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-40}
numbers=${2:-60}
. "$build/bench/simulators.sh"

kill_runs() {  # NAME MODEMS
  local name=$1 modems=$2 dir=$work/$1
  program "$dir"
  local devices=()
  for k in $(seq "$modems"); do
    start_sim "$dir/sim$k" --network 300:700
    devices+=(--device "$dir/sim$k/port")
  done
  local list=$dir/phones.txt
  local count=$((kills * modems * 3))
  for i in $(seq "$count"); do printf '7900%07d\n' "$i"; done >"$list"
  local args=("${devices[@]}" --check --markers "$dir/PHONES" --pause 0 --piece-pause 0 --quiet
              --list "$list" --text "Hello")
  local runs=0 inside=0 claims_before=""
  while [ "$inside" -lt "$kills" ] && [ "$runs" -lt $((kills * 5)) ]; do
    "$dir/varnek-send" "${args[@]}" >"$dir/out.txt" 2>"$dir/err.txt" &
    local pid=$!
    sleep "0.$((RANDOM % 9 + 1))$((RANDOM % 10))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    runs=$((runs + 1))
    # The claims this run left; counted once the simulators have answered.
    ls "$dir/PHONES" 2>/dev/null | grep '\.claim$' | sort >"$dir/claims.now" || true
    comm -13 <(printf '%s' "$claims_before") "$dir/claims.now" >"$dir/run$runs.claims"
    claims_before=$(cat "$dir/claims.now"; echo)
    if [ $((runs % 5)) -eq 0 ] || [ "$inside" -ge $((kills - 5)) ]; then
      sleep 0.8
      inside=$(count_inside "$dir" "$runs")
    fi
  done
  sleep 0.8
  inside=$(count_inside "$dir" "$runs")
  local abandoned
  abandoned=$(wc -l <"$dir/claims.now")
  stop_sims
  # The rerun: the same list and folder, modems that answer at once.
  local rerun_devices=()
  for k in $(seq "$modems"); do
    start_sim "$dir/rerun$k"
    rerun_devices+=(--device "$dir/rerun$k/port")
  done
  "$dir/varnek-send" "${rerun_devices[@]}" "${args[@]:$((2 * modems))}" \
    >"$dir/rerun.out" 2>"$dir/rerun.err" || true
  stop_sims
  local twice unconfirmed sent
  twice=$(taken "$dir"/sim*/record "$dir"/rerun*/record | sort | uniq -d | wc -l)
  unconfirmed=$(grep -a "^Без подтверждения: " "$dir/rerun.out" | awk '{print $NF}' || true)
  sent=$(grep -a "^Отправлен: " "$dir/rerun.out" | awk '{print $NF}' || true)
  printf '| %s | %d | %d | %d | %d | %s | %s |\n' "$name" "$runs" "$inside" "$abandoned" "$twice" \
    "${unconfirmed:-?}" "${sent:-?}"
}

# Kills whose claims name a number that a modem took: the kill came while
# the message was out and its answer had not come.
count_inside() {  # DIR RUNS
  local dir=$1 runs=$2 inside=0
  taken "$dir"/sim*/record | sed 's/$/.claim/' | sort -u >"$dir/taken.claims"
  for r in $(seq "$runs"); do
    if [ -n "$(comm -12 "$dir/run$r.claims" "$dir/taken.claims")" ]; then inside=$((inside + 1)); fi
  done
  echo "$inside"
}

together() {  # PROCESSES
  local processes=$1 dir=$work/together$1
  mkdir -p "$dir"
  for i in $(seq "$numbers"); do printf '7911%07d\n' "$i"; done >"$dir/phones.txt"
  local pids=() start end
  for k in $(seq "$processes"); do
    program "$dir/p$k"
    start_sim "$dir/sim$k" --network 200:200
  done
  start=$(date +%s.%N)
  for k in $(seq "$processes"); do
    "$dir/p$k/varnek-send" --device "$dir/sim$k/port" --check --markers "$dir/PHONES" --pause 0 \
      --piece-pause 0 --quiet --list "$dir/phones.txt" --text "Hello" \
      >"$dir/p$k/out" 2>"$dir/p$k/err" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || true; done
  end=$(date +%s.%N)
  stop_sims
  local once twice missing
  taken "$dir"/sim*/record | sort >"$dir/taken"
  once=$(sort -u "$dir/taken" | wc -l)
  twice=$(uniq -d "$dir/taken" | wc -l)
  missing=$((numbers - once))
  echo "$processes $(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }') $once $twice $missing"
}

echo "(a) SIGKILL at random moments, each message answered 300 to 700 ms after it is out"
echo
echo "| modems | kills | inside the wait | claims left | sent twice | rerun: unconfirmed |" \
  "rerun: sent |"
echo "|---|---:|---:|---:|---:|---:|---:|"
kill_runs "one" 1
kill_runs "pool of four" 4
echo
echo "(b) varnek-send processes on one list of $numbers numbers and one marker folder,"
echo "    each with a modem of its own that answers after 200 ms"
echo
echo "| processes | wall | numbers sent | sent twice | not sent | speed-up |"
echo "|---:|---:|---:|---:|---:|---:|"
one=""
for p in 1 2 4; do
  read -r processes wall once twice missing < <(together "$p")
  [ -z "$one" ] && one=$wall
  printf '| %d | %.1f s | %d | %d | %d | %.2f |\n' \
    "$processes" "$wall" "$once" "$twice" "$missing" \
    "$(awk -v a="$one" -v b="$wall" 'BEGIN { print a / b }')"
done
