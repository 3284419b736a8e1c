# Sourced by setup.sh, test.sh and .ci/run: the Debian packages each of them needs,
# and the one installer they share. Installs only what is missing, says what it
# installs, and changes nothing when everything is there.

# Building the plug-ins (VST 2 and LV2: lv2-dev's headers; the LV2 view: Xlib) and
# brisendel (xsimd: the portable layer of the vector kernels).
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsndfile1-dev libcairo2-dev lv2-dev libxsimd-dev
  libx11-dev)
# Building and running the Linux tests (the release and sanitizer workflows, with benchmarks).
# The LV2 bundle is checked with lv2_validate (lv2-dev, with sordi's sord_validate) and
# lilv's lv2ls, lv2info and lv2apply; the .deb is built with dpkg-shlibdeps (dpkg-dev) and
# checked with lintian. The LV2 view is driven under Xvfb through XTest (libxtst-dev), and
# shown in a real host, jalv.gtk3 on JACK's dummy driver (jackd2), photographed with
# ImageMagick.
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" binutils libgtest-dev libbenchmark-dev libfftw3-dev
  lilv-utils sordi dpkg-dev lintian xvfb libxtst-dev jalv jackd2 imagemagick)
# Cross-building Brisendel.dll and its tests, and running them under Wine. The
# posix-thread compiler by name: the win32 one has no std::thread or std::mutex.
WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 googletest libxsimd-dev)
# Cross-building Brisendel.so and its tests for 64-bit ARM Linux, and running them
# under qemu-aarch64 with the target's libraries from the cross compiler's packages.
AARCH64_PACKAGES=(cmake ninja-build g++-aarch64-linux-gnu qemu-user googletest libxsimd-dev lv2-dev)
# The target's own libraries for the LV2 view (Xlib and cairo) and its tests (XTest),
# from Debian's arm64 archive beside the build machine's (multiarch): install them with
# install_arm64 below.
AARCH64_TARGET_PACKAGES=(libx11-dev:arm64 libcairo2-dev:arm64 libxtst-dev:arm64)
# Continuous integration adds the fuzzer's compiler and runtime and the formatter.
CI_PACKAGES=("${TEST_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${AARCH64_PACKAGES[@]}" clang libclang-rt-14-dev clang-format)

# install_missing PACKAGE...
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    echo "packages: everything needed is installed"
    return 0
  fi
  echo "packages: installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# require_programs PROGRAM=PACKAGE...
# For tests and scripts that run programs from outside the build: names each
# program that is not on the PATH, with the Debian package that holds it, and
# returns 1; returns 0 when all are there. Callers choose the exit: the CTest
# scripts exit 77, which their tests declare as skipped, so that a missing
# tool is not taken for a fault of the product.
require_programs() {
  local pair program missing=0
  for pair in "$@"; do
    program=${pair%%=*}
    command -v "$program" >/dev/null 2>&1 && continue
    echo "$program not found: install it with 'apt-get install ${pair#*=}'" \
      "(./test.sh installs every test tool)" >&2
    missing=1
  done
  return "$missing"
}

# install_arm64 PACKAGE:arm64...
# Adds Debian's arm64 architecture to the package manager once, then installs what
# is missing like install_missing.
install_arm64() {
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    echo "packages: adding the arm64 architecture (multiarch)"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture arm64
  fi
  install_missing "$@"
}
