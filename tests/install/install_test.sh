#!/usr/bin/env bash
# Installs the program into a temporary prefix, starts the launcher from / under a virtual
# display, plays the inner-planet demonstration and checks it found its files and ran to its end.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/kepler-laws libexec/kepler-laws/kepler-laws share/applications/kepler-laws.desktop \
         share/icons/hicolor/128x128/apps/kepler-laws.png share/kepler-laws/kepler.bmp \
         share/kepler-laws/kasei-kouten-Koukei.dat share/kepler-laws/Suisei-kouten-Koukei.dat; do
  [[ -e "$prefix/$f" ]] || { echo "not installed: $f"; exit 1; }
done
[[ $(ls "$prefix/share/kepler-laws" | wc -l) -eq 9 ]] || { echo "expected nine files in share/kepler-laws"; exit 1; }
grep -qx "Name\[ja\]=ケプラーの法則" "$prefix/share/applications/kepler-laws.desktop"
grep -qx "Path=$prefix/share/kepler-laws" "$prefix/share/applications/kepler-laws.desktop"
grep -qx "Exec=$prefix/bin/kepler-laws" "$prefix/share/applications/kepler-laws.desktop"

cat >"$prefix/drive.sh" <<DRIVE
#!/usr/bin/env bash
cd /
QT_LOGGING_RULES="kepler.forms.debug=true" "$prefix/bin/kepler-laws" 2>"$prefix/trace.log" &
pid=\$!
for _ in \$(seq 100); do grep -q "Command3 Caption" "$prefix/trace.log" && break; sleep 0.1; done
sleep 0.5
xdotool mousemove 891 416 click 1
for _ in \$(seq 300); do grep -q "Form1 Return Command1(7)" "$prefix/trace.log" && break; sleep 0.1; done
kill \$pid
wait \$pid 2>/dev/null || true
DRIVE
chmod +x "$prefix/drive.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$prefix/drive.sh"

trace="$prefix/trace.log"
grep -q 'kepler.forms: Image4 Picture "Venus01.gif"' "$trace" || { echo "the pictures were not found"; cat "$trace" | tail; exit 1; }
grep -q 'kepler.forms: Form1 Close' "$trace" || { echo "the data file was not read"; tail "$trace"; exit 1; }
grep -q 'kepler.forms: Form1 Return Command1(7)' "$trace" || { echo "the demonstration did not finish"; tail "$trace"; exit 1; }
frames=$(grep -c 'kepler.forms: Form1 Wait 3$' "$trace")
[[ $frames -eq 1800 ]] || { echo "played $frames frames, not 1800"; exit 1; }
echo "installed into a temporary prefix, started from /, played 1800 frames"
