# Debian packages the build and the tests need, and a helper that installs
# the missing ones. Sourced by the run and test commands.

BUILD_PACKAGES=(
  cmake make g++
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
)
TEST_PACKAGES=(
  "${BUILD_PACKAGES[@]}"
  googletest libgtest-dev
  libbenchmark-dev
  clang-14 libclang-rt-14-dev llvm-14 nlohmann-json3-dev
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
