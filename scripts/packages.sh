# Debian packages the build and the tests need, and a helper that installs
# the missing ones. Sourced by the run and test commands.

BUILD_PACKAGES=(
  cmake make g++
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
)
# Running the Windows program on Linux: Wine, a virtual display, openssl and
# Python for the local stand-in of the Gemini service, fonts with Arabic
# glyphs, and Wine's own fonts (Marlett draws the title bar's buttons). The
# acceptance tests (label wine) need the same.
WINE_PACKAGES=(
  wine wine64 xvfb openssl python3 fonts-dejavu-core fonts-wine
)
# The release package: the build, Python for the zip and git for the time
# of the last commit.
PACKAGE_PACKAGES=(
  "${BUILD_PACKAGES[@]}"
  python3 git
)
RUN_PACKAGES=(
  "${BUILD_PACKAGES[@]}"
  "${WINE_PACKAGES[@]}"
)
# The tests also build with the Ninja generator that the README's Windows
# build uses.
TEST_PACKAGES=(
  "${PACKAGE_PACKAGES[@]}"
  ninja-build
  googletest libgtest-dev
  libbenchmark-dev
  clang-14 libclang-rt-14-dev llvm-14 nlohmann-json3-dev
  "${WINE_PACKAGES[@]}"
)

install_missing_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
  fi
}
