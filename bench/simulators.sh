# What the benchmark scripts share (sourced, with $build the build folder):
# varnek-send and simulated modems in a scratch folder ($work) that goes,
# with every simulator started, when the script ends.
send=$build/tools/varnek-send/varnek-send
sim=$build/tools/modemsim/varnek-modem-sim
if [ ! -x "$send" ] || [ ! -x "$sim" ]; then
  echo "build varnek-send and varnek-modem-sim first" >&2
  exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/varnek-$(basename "$0" .sh)-XXXXXX")
sims=()
cleanup() {
  for dir in "${sims[@]}"; do touch "$dir/stop"; done
  sleep 0.3
  rm -rf "$work"
}
trap cleanup EXIT

# start_sim DIR OPTIONS...: a simulator whose link is DIR/port, its record
# DIR/record.
start_sim() {
  local dir=$1; shift
  mkdir -p "$dir"
  "$sim" --link "$dir/port" --record "$dir/record" --ready-file "$dir/ready" \
    --stop-file "$dir/stop" --max-seconds 3600 "$@" >"$dir/out" 2>&1 &
  sims+=("$dir")
  for _ in $(seq 500); do [ -s "$dir/ready" ] && return; sleep 0.01; done
  echo "the simulator in $dir did not start" >&2; exit 1
}

stop_sims() {
  local dir
  for dir in "${sims[@]}"; do touch "$dir/stop"; done
  sleep 0.5
  sims=()
}

# The destinations of the messages the simulators took, one a line, from
# the records in the folders given (TS 23.040: 11 digits in swapped pairs
# after the service centre, first octet, TP-MR, length and type).
taken() {
  cat "$@" 2>/dev/null | awk -F'\t' '$4 ~ /^ok / {
    n = ""; for (i = 11; i < 23; i += 2) n = n substr($3, i + 1, 1) substr($3, i, 1)
    print substr(n, 1, 11) }'
}

# A program folder with its own varnek-send (its logs land there).
program() {
  mkdir -p "$1"; cp "$send" "$1/varnek-send"
}
