#!/bin/bash
# Delivery reports of a long run, measured with varnek-send and the
# simulated modem (native build only). NUMBERS numbers; every submission's
# report comes 1 to 20 s after its +CMGS, every tenth says "not delivered"
# (TP-ST 0x46, 0x41 and 0x62 in turn).
#  (a) straight routing (+CDS on the line): the run waits for the reports
#      (--wait-reports);
#  (b) stored routing (+CDSI): the run does not wait; --collect reads the
#      reports that come after it.
# For each: the outcomes of the table, of the results file and the ones the
# simulator was told to give, number by number; the time the run took.
# Usage: <build>/bench/reports.sh [NUMBERS]     (200)
set -euo pipefail
build=$(cd "$(dirname "$0")/.." && pwd)
numbers=${1:-200}
. "$build/bench/simulators.sh"
failed_statuses=(46 41 62)

# The simulator's options for the failed reports, and the numbers they
# belong to (submission K goes to the K-th number: one modem, in order).
failures() {  # DIR
  local k=10 i=0
  while [ "$k" -le "$numbers" ]; do
    printf -- '--report-status\n%d:%s\n' "$k" "${failed_statuses[$((i % 3))]}"
    printf '7912%07d\n' "$k" >>"$1/expected.failed"
    k=$((k + 10)); i=$((i + 1))
  done
}

run_case() {  # NAME ROUTING SEND-OPTIONS...
  local name=$1 routing=$2; shift 2
  local dir=$work/$name
  program "$dir"
  for i in $(seq "$numbers"); do printf '7912%07d\n' "$i"; done >"$dir/phones.txt"
  : >"$dir/expected.failed"
  mapfile -t statuses < <(failures "$dir")
  start_sim "$dir/sim" --reports "$routing" --report-delay 1000:20000 --memory 255 "${statuses[@]}"
  local start end
  start=$(date +%s.%N)
  "$dir/varnek-send" --device "$dir/sim/port" --no-check --pause 0 --piece-pause 0 --quiet \
    --lang en --list "$dir/phones.txt" --text "Hello" --reports "$@" >"$dir/out" 2>"$dir/err" || true
  end=$(date +%s.%N)
  if [ "$routing" = stored ]; then
    "$dir/varnek-send" --device "$dir/sim/port" --collect --wait-reports 25 --lang en \
      >"$dir/collect.out" 2>"$dir/collect.err" || true
  fi
  stop_sims
  report "$name" "$dir" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", b - a }')"
}

# "Доставлен" and "Не доставлен" in UTF-8 (the table) and in cp1251 (the file).
delivered=$(printf '\xd0\x94\xd0\xbe\xd1\x81\xd1\x82\xd0\xb0\xd0\xb2\xd0\xbb\xd0\xb5\xd0\xbd')
not_delivered=$(printf '\xd0\x9d\xd0\xb5 \xd0\xb4\xd0\xbe\xd1\x81\xd1\x82\xd0\xb0\xd0\xb2\xd0\xbb\xd0\xb5\xd0\xbd')

report() {  # NAME DIR SECONDS
  local name=$1 dir=$2 seconds=$3
  local table_ok table_failed file_ok file_failed wrong
  table_ok=$(grep -ac "	$delivered	" "$dir/out" || true)
  table_failed=$(grep -ac "	$not_delivered	" "$dir/out" || true)
  iconv -f cp1251 -t utf-8 "$dir"/results/*.csv >"$dir/results.txt"
  file_ok=$(grep -ac ";;$delivered;" "$dir/results.txt" || true)
  grep -a ";;$not_delivered;" "$dir/results.txt" | cut -d';' -f1 | sort >"$dir/file.failed" || true
  file_failed=$(wc -l <"$dir/file.failed")
  # Numbers whose outcome in the file is not the one the simulator gave.
  wrong=$(sort "$dir/expected.failed" | comm -3 - "$dir/file.failed" | wc -l)
  printf '| %s | %s s | %s / %s | %s / %s | %d | %d |\n' "$name" "$seconds" "$table_ok" \
    "$table_failed" "$file_ok" "$file_failed" "$(wc -l <"$dir/expected.failed")" "$wrong"
}

echo "$numbers numbers, reports 1 to 20 s after each message; every tenth not delivered"
echo
echo "| routing | run | table: delivered / not | results file: delivered / not |" \
  "failed given | outcomes wrong |"
echo "|---|---:|---:|---:|---:|---:|"
run_case "straight, --wait-reports" straight --wait-reports 60
run_case "stored, then --collect" stored
