#!/usr/bin/env bash
# Builds Parlivo and runs it under Wine on Linux. On a fresh Debian 12
# machine, run as root: it installs what is missing with apt-get first.
#
#   scripts/run.sh [--folder DIR]
#       Parlivo.exe on your X display, with the config.ini in DIR
#       (default build/windows/run/program). The first start writes a
#       template there and opens it in Notepad: put your Gemini API key in.
#   scripts/run.sh --demo
#       No key and no network: Parlivo talks to a local stand-in for the
#       Gemini service that knows a dozen everyday phrases.
#   scripts/run.sh --demo --screenshot docs/screenshot.png
#       The demo on a virtual display: translates a phrase and saves a
#       picture of the window.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
install_missing_packages "${RUN_PACKAGES[@]}"

cmake --preset windows >/dev/null
cmake --build --preset windows --target Parlivo parlivo_driver

exec python3 tests/acceptance/run_program.py \
  --exe build/windows/Parlivo.exe \
  --driver build/windows/tests/acceptance/parlivo_driver.exe \
  --work build/windows/run \
  "$@"
