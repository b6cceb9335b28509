#!/usr/bin/env bash
# Builds Parlivo and runs every test tier. On a fresh Debian 12 machine, run
# as root: it installs what is missing with apt-get first.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
install_missing_packages "${TEST_PACKAGES[@]}"

# run_tier PRESET LABEL WHAT [CTEST OPTIONS...]: the CTest entries of one
# label. A preset is configured and built before its first tier.
built_presets=" "
run_tier() {
  local preset=$1 label=$2 what=$3
  shift 3
  echo "== $preset: $what"
  if [[ $built_presets != *" $preset "* ]]; then
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    built_presets+="$preset "
  fi
  ctest --preset "$preset" -L "$label" "$@"
}

run_tier native unit "core and unit tests"
run_tier native bench "benchmarks (ratios printed beside their goals, not asserted)" --verbose
run_tier native-asan unit "unit tests under AddressSanitizer and UBSan"
run_tier native-asan fuzz "fuzz runs under AddressSanitizer and UBSan"
run_tier windows wine "Parlivo.exe with MinGW-w64, and the acceptance suite under Wine"
run_tier windows bench "the program's benchmarks under Wine (figures beside their goals, not asserted)" \
  --verbose
# A Windows developer's preset (Ninja, see the README) with this machine's
# cross toolchain: it configures, builds, and gives the very program tested.
echo "== the mingw preset's settings and generator with the cross toolchain"
cmake --preset mingw-cross
cmake --build --preset mingw-cross
cmp build/windows/Parlivo.exe build/mingw-cross/Parlivo.exe
echo "== the Windows release package in dist/"
scripts/package.sh
run_tier windows release "the package rebuilt in another folder, and its program under Wine"
