#!/bin/sh
# Installs everything the build and the tests need on Debian 12 (run as root).
set -e
packages="g++ cmake make pkg-config googletest libgtest-dev libxml2-dev
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool imagemagick python3 python3-gammu procps"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: not root, assuming these are installed: $packages" >&2
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror that hiccups once should not fail the whole run.
retry() { "$@" || { sleep 10; "$@"; } || { sleep 30; "$@"; }; }
retry apt-get update
# shellcheck disable=SC2086
retry apt-get install -y --no-install-recommends $packages
