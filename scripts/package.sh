#!/usr/bin/env bash
# Builds the Windows release package in dist/: Parlivo-<version>-win64.zip
# (Parlivo.exe, README.txt and LICENSE), the Parlivo.exe it holds, and
# SHA256SUMS for both; `sha256sum -c SHA256SUMS` in dist/ checks them. On a
# fresh Debian 12 machine, run as root: it installs what is missing with
# apt-get first.
#
# One commit gives the same bytes in any folder: the zip's entries carry the
# time of the last commit, or SOURCE_DATE_EPOCH when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/packages.sh
install_missing_packages "${PACKAGE_PACKAGES[@]}"

if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

cmake --preset windows >/dev/null
cmake --build --preset windows --target release_package
