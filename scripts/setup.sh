#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine: installs what is missing, builds, and
# then runs the program (run), every test (test), the benchmarks (bench) or
# the fuzz targets (fuzz), or builds the Debian package (package).
set -euo pipefail

mode="${1:-run}"
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
          dbus dbus-x11 libglib2.0-bin clang-format)
case "$mode" in
  # The desktop entry's and the AppStream metadata's validators.
  test) packages+=(desktop-file-utils appstream) ;;
  bench) packages+=(libbenchmark-dev libpugixml-dev xvfb xdotool) ;;
  package) packages+=(dpkg-dev file) ;;
  fuzz) packages+=(clang libclang-rt-dev) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

case "$mode" in
  run)
    cmake --preset release
    cmake --build --preset release
    exec ./build/release/bin/OrvexSupportTool
    ;;
  test)
    # The automation tests start a private session bus, which wants a
    # machine id; a bare container may have none.
    if [ ! -s /etc/machine-id ] && [ ! -s /var/lib/dbus/machine-id ]; then
      sudo=""
      [ "$(id -u)" -eq 0 ] || sudo="sudo"
      $sudo dbus-uuidgen --ensure
    fi
    cmake --preset ci
    cmake --build --preset ci
    ctest --preset ci
    ;;
  bench)
    cmake --preset bench
    cmake --build --preset bench
    for b in build/bench/bin/bench_*; do
      [ -x "$b" ] && "$b"
    done
    bash bench/startup_outside.sh build/bench/bin
    ;;
  fuzz)
    cmake --preset fuzz
    # Only the fuzz targets: the rest of the program is not needed here.
    targets=$(grep -ho 'add_executable(fuzz_[A-Za-z0-9_]*' fuzz/*.cmake | sed 's/add_executable(//')
    cmake --build --preset fuzz --target $targets
    for f in build/fuzz/bin/fuzz_*; do
      name="$(basename "$f")"
      corpus="$(mktemp -d)"
      cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
      LSAN_OPTIONS="suppressions=$top/fuzz/lsan.supp" \
        "$f" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
        -artifact_prefix="$corpus/" "$corpus"
    done
    ;;
  package)
    cmake --preset release
    cmake --build --preset release
    (cd build/release && cpack -G DEB)
    ls build/release/*.deb
    ;;
  *)
    echo "usage: $0 [run|test|bench|fuzz|package]" >&2
    exit 2
    ;;
esac
