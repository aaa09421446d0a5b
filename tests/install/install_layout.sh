#!/usr/bin/env bash
# The installed layout: install the build into a temporary prefix, find every
# file in its place, and start the installed program and orvex-drive from
# there. Run on a private session bus: the program's automation object shows
# on it once start-up has read every data file and loaded the motor database.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
library=$(cd "$prefix" && find lib* -path '*/orvex-support-tool/OrvexMotorDatabase.so' | head -1)
[ -n "$library" ] || fail "no motor database library under $prefix/lib"
for file in bin/OrvexSupportTool bin/orvex-drive "$library" \
            share/orvex-support-tool/OrvexCommandDatabase.xml \
            share/orvex-support-tool/OrvexMotorDatabase.xml \
            "share/orvex-support-tool/WindNum CustomNum CrossRef.xml" \
            share/orvex-support-tool/OrvexOS-3.02.0018.ops \
            share/orvex-support-tool/KVTReleaseNotes.wri \
            share/orvex-support-tool/OrvexDriveUserGuide.pdf \
            "share/orvex-support-tool/Orvex KD-A1_A5P QRG.pdf" \
            share/applications/com.tamsel.OrvexSupportTool.desktop \
            share/icons/hicolor/scalable/apps/com.tamsel.OrvexSupportTool.svg \
            share/metainfo/com.tamsel.OrvexSupportTool.metainfo.xml \
            share/man/man1/OrvexSupportTool.1 share/man/man1/orvex-drive.1 \
            share/doc/orvex-support-tool/README.md; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# Nothing of the program's is left beside the executables.
[ "$(ls "$prefix/bin")" = "$(printf 'OrvexSupportTool\norvex-drive')" ] || fail "bin holds $(ls "$prefix/bin")"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"

# orvex-drive's simulated drive reads the installed command database.
answer=$("$prefix/bin/orvex-drive" test --port sim)
[ "$answer" = "Successfully communicated with Orvex drive" ] || fail "orvex-drive answered '$answer'"

# The installed program starts, finds its files and puts its automation object on the bus.
"$prefix/bin/OrvexSupportTool" 2> "$work/started.err" &
pid=$!
gdbus wait --session --timeout 30 com.tamsel.OrvexSupportTool ||
  fail "the installed program did not start: $(cat "$work/started.err")"
gdbus call --session --dest com.tamsel.OrvexSupportTool --object-path /KVTProxy \
  --method com.tamsel.OrvexSupportTool.KVTProxy.EnableNumericStatus 0 true > /dev/null ||
  fail "the program's automation object does not answer"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

# A missing data file: the start-up message names the file and the folders looked in.
rm "$prefix/share/orvex-support-tool/OrvexMotorDatabase.xml"
"$prefix/bin/OrvexSupportTool" 2> "$work/missing.err" &
pid=$!
for _ in $(seq 100); do
  grep -q "^  $prefix/share/orvex-support-tool$" "$work/missing.err" && break
  sleep 0.1
done
grep -qx "Unable to locate OrvexMotorDatabase.xml." "$work/missing.err" || fail "$(cat "$work/missing.err")"
grep -qx "  $prefix/bin" "$work/missing.err" || fail "$(cat "$work/missing.err")"
grep -qx "  $prefix/share/orvex-support-tool" "$work/missing.err" || fail "$(cat "$work/missing.err")"
echo "Installed layout complete under $prefix"
