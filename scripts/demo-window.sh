#!/bin/bash
# Varnek.exe under Wine against the simulated modem on COM3: builds the
# simulator natively and Varnek.exe with mingw-w64, puts Varnek.exe with a
# settings file for COM3 into a program folder of its own, and starts it on
# the display in DISPLAY (or on a new Xvfb display when there is none; take
# screenshots there with `import -window root`). Ends when the window is
# closed. Usage: scripts/demo-window.sh   (build folders under ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNEK_BUILD:-$root/build}
jobs=${VARNEK_JOBS:-$(nproc)}

mkdir -p "$build"
"$root/scripts/install-deps.sh" >"$build/install-deps.log" 2>&1 || { tail -n 40 "$build/install-deps.log"; exit 1; }
cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >"$build/native.configure.log"
cmake --build "$build/native" -j "$jobs" --target varnek-modem-sim >"$build/demo-window.build.log"
cmake -S "$root" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DVARNEK_NATIVE_TOOLS="$build/native" -DCMAKE_BUILD_TYPE=Debug >"$build/windows.configure.log"
cmake --build "$build/windows" -j "$jobs" --target Varnek >>"$build/demo-window.build.log"

"$build/windows/wine-env" start
export WINEPREFIX="$build/windows/wineprefix" WINEDEBUG=-all
[ -n "${DISPLAY:-}" ] || DISPLAY=$(cat "$build/windows/xvfb.display")
export DISPLAY

program=$(mktemp -d "${TMPDIR:-/tmp}/varnek-window.XXXXXX")
cp "$build/windows/ui/Varnek.exe" "$program/"
cp "$root/samples/phones.txt" "$root/samples/message.txt" "$program/"
printf '<?xml version="1.0" encoding="Windows-1251" ?><root><BAUDRATE>0</BAUDRATE><PORT>3</PORT><CHECK>1</CHECK><TIMEOUT>1</TIMEOUT><TIMEOUT2>3</TIMEOUT2></root>' \
  >"$program/Varnek.xml"

# The simulated modem is COM3 as Windows shows a port: a link the port opens,
# and a value in the system's serial-port map that lists it (the prefix's
# HARDWARE key is volatile: written anew at every start).
wine reg add 'HKLM\Hardware\DeviceMap\SerialComm' /v '\Device\VarnekModem0' /t REG_SZ /d COM3 /f \
  >"$program/reg.log" 2>&1
"$build/native/tools/modemsim/varnek-modem-sim" --link "$WINEPREFIX/dosdevices/com3" \
  --record "$program/sim-record.txt" --max-seconds 3600 >"$program/sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true; "$build/windows/wine-env" stop' EXIT

echo "== Varnek.exe on display $DISPLAY, the simulated modem on COM3"
echo "   program folder: $program (a sample list: phones.txt there)"
(cd "$program" && wine Varnek.exe) || true
echo "== logs in $program/logs, markers in $program/PHONES"
