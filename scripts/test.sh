#!/usr/bin/env bash
# Builds Parlivo and runs every test tier. On a fresh Debian 12 machine, run
# as root: it installs what is missing with apt-get first.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
install_missing_packages "${TEST_PACKAGES[@]}"

echo "== native: core and unit tests"
cmake --preset native
cmake --build --preset native
ctest --preset native -L unit
echo "== native: benchmarks (ratios printed beside their goals, not asserted)"
ctest --preset native -L bench --verbose

echo "== native-asan: unit tests and fuzz runs under AddressSanitizer and UBSan"
cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan -L unit
ctest --preset native-asan -L fuzz

echo "== windows: Parlivo.exe with MinGW-w64, and the acceptance suite under Wine"
cmake --preset windows
cmake --build --preset windows
ctest --preset windows -L wine
echo "== windows: the program's benchmarks under Wine (figures beside their goals, not asserted)"
ctest --preset windows -L bench --verbose

echo "== release: the Windows package in dist/, rebuilt in another folder, and its program under Wine"
scripts/package.sh
ctest --preset windows -L release
