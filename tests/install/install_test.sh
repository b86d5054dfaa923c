#!/usr/bin/env bash
# Installs the program into a temporary prefix whose path holds a space, then under a virtual
# display: starts the installed executable itself from / (it must find its files in the share
# folder beside it) and plays the inner-planet demonstration to its end; then starts it from its
# menu entry through gio, as a desktop does, shows the laws picture and quits with はい.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/kepler laws"
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/kepler-laws libexec/kepler-laws/kepler-laws share/applications/kepler-laws.desktop \
         share/icons/hicolor/128x128/apps/kepler-laws.png share/kepler-laws/kepler.bmp \
         share/kepler-laws/kasei-kouten-Koukei.dat share/kepler-laws/Suisei-kouten-Koukei.dat; do
  [[ -e "$prefix/$f" ]] || { echo "not installed: $f"; exit 1; }
done
[[ $(ls "$prefix/share/kepler-laws" | wc -l) -eq 9 ]] || { echo "expected nine files in share/kepler-laws"; exit 1; }
entry="$prefix/share/applications/kepler-laws.desktop"
grep -qx "Name\[ja\]=ケプラーの法則" "$entry"
grep -qx "Path=$prefix/share/kepler-laws" "$entry" || { echo "wrong Path line"; grep Path "$entry"; exit 1; }
grep -qx "Exec=\"$prefix/bin/kepler-laws\"" "$entry" || { echo "wrong Exec line"; grep Exec "$entry"; exit 1; }

cat >"$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
# Runs inside the virtual display. $1: the prefix, $2: the work folder.
prefix=$1
work=$2
wait_for() {  # wait_for LINE FILE TENTHS
  for _ in $(seq "$3"); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  return 1
}
export QT_LOGGING_RULES="kepler.forms.debug=true"

cd /
"$prefix/libexec/kepler-laws/kepler-laws" 2>"$work/direct.log" &
pid=$!
wait_for "Command3 Caption" "$work/direct.log" 100
sleep 0.5
xdotool mousemove 891 416 click 1
wait_for "Form1 Return Command1(7)" "$work/direct.log" 300
kill $pid
wait $pid 2>/dev/null

if command -v gio >/dev/null; then
  gio launch "$prefix/share/applications/kepler-laws.desktop" 2>"$work/menu.log"
  wait_for "Command3 Caption" "$work/menu.log" 100
  sleep 0.5
  xdotool mousemove 891 466 click 1
  wait_for "Form1 Return Command2" "$work/menu.log" 50
  xdotool mousemove 891 516 click 1
  sleep 1
  xdotool key Return
  wait_for "Form1 End" "$work/menu.log" 50
  sleep 0.5
fi
true
DRIVE
chmod +x "$work/drive.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$work/drive.sh" "$prefix" "$work"

trace="$work/direct.log"
grep -q 'kepler.forms: Image4 Picture "Venus01.gif"' "$trace" || { echo "the pictures were not found from /"; tail "$trace"; exit 1; }
grep -q 'kepler.forms: Form1 Close' "$trace" || { echo "the data file was not read"; tail "$trace"; exit 1; }
grep -q 'kepler.forms: Form1 Return Command1(7)' "$trace" || { echo "the demonstration did not finish"; tail "$trace"; exit 1; }
frames=$(grep -c 'kepler.forms: Form1 Wait 3$' "$trace")
[[ $frames -eq 1800 ]] || { echo "played $frames frames, not 1800"; exit 1; }
echo "installed into '$prefix', started the executable from /, played 1800 frames"

if ! command -v gio >/dev/null; then
  echo "gio not found (package libglib2.0-bin): the menu entry was not started"
  exit 0
fi
menu="$work/menu.log"
grep -q 'kepler.forms: Image3 Picture "kepler.bmp"' "$menu" || { echo "the menu entry did not start the program"; tail "$menu"; exit 1; }
grep -q 'kepler.forms: Form1 End' "$menu" || { echo "the program started from the menu entry did not end"; tail "$menu"; exit 1; }
echo "started from the menu entry through gio, showed kepler.bmp and ended"
