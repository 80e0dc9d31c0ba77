#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what PLANIX needs on a Debian machine (only what is missing),
# builds it in Release, then either starts the program or runs every test.
#
#   scripts/setup.sh run [PICTURE]   build and start PLANIX (only what running needs)
#   scripts/setup.sh test            build and run the whole test suite headless,
#                                    warnings as errors; then the suite again under
#                                    AddressSanitizer and UndefinedBehaviorSanitizer
#                                    (build-sanitize/), the layer check and the
#                                    format check (CI runs this)
#
# PLANIX_SKIP_SANITIZE=1 leaves out the sanitizer run, PLANIX_SKIP_FORMAT_CHECK=1
# the format check.
set -euo pipefail

mode=${1:-run}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

# Building and running; dpkg-dev and file are what cpack -G DEB needs.
packages=(
  build-essential cmake ccache pkg-config dpkg-dev file
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev
  libuemf-dev
  libopencv-core-dev libopencv-imgproc-dev
  fonts-ipafont-gothic qt6-translations-l10n
)
# The tests and benchmarks, with the X server and tools some tests talk to.
if [ "$mode" != run ]; then
  packages+=(
    libjpeg-turbo-progs
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xclip
    python3 clang-format
  )
fi
# The fuzzers (fuzz/) need clang and its sanitizer and libFuzzer runtimes:
# PLANIX_FUZZ=1 scripts/setup.sh ...
if [ "${PLANIX_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  # env, not a prefix assignment: sudo would drop the variable.
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# The compiler cache hits whichever folder the project was cloned into.
export CCACHE_BASEDIR="$root"

case "$mode" in
  run)
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" -j "$jobs" --target planix
    exec "$build/planix" "$@"
    ;;
  test)
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DPLANIX_WERROR=ON >/dev/null
    cmake --build "$build" -j "$jobs"
    export QT_QPA_PLATFORM=offscreen
    # The clipboard tests talk to other X clients through a real X server.
    if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
      # Xvfb picks a free display number and writes it once it accepts clients.
      display_file=$(mktemp)
      Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
      xvfb_pid=$!
      trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
      for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
      done
      if [ -s "$display_file" ]; then
        export PLANIX_X_DISPLAY=:$(head -n 1 "$display_file")
      else
        echo "warning: Xvfb did not start; the X clipboard tests will be skipped" >&2
      fi
    else
      export PLANIX_X_DISPLAY=${DISPLAY:-}
    fi
    (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 300)

    if [ "${PLANIX_SKIP_SANITIZE:-0}" != 1 ]; then
      sanitize="$root/build-sanitize"
      cmake -S "$root" -B "$sanitize" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
        -DPLANIX_WERROR=ON -DPLANIX_SANITIZE=ON >/dev/null
      # Any finding ends the test program (the build does not recover either);
      # the build lists each program's tests by running it, so these hold there too.
      export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
      export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
      export LSAN_OPTIONS=suppressions="$root/scripts/lsan-suppressions.txt"
      cmake --build "$sanitize" -j "$jobs"
      (cd "$sanitize" && ctest --output-on-failure -j "$jobs" --timeout 600)
    fi

    python3 "$root/scripts/check_layers.py" "$root"
    if [ "${PLANIX_SKIP_FORMAT_CHECK:-0}" != 1 ]; then
      "$root/scripts/check_format.sh"
    fi
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
