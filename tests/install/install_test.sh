#!/usr/bin/env bash
# Installs the program under umask 077 into a temporary prefix whose path holds a space and whose
# bin/ and share/ already exist, checks that every user may read what it installed (folders 755,
# files 644, programs 755), then under a virtual display, as another, unprivileged user (nobody,
# when the test runs as root): starts the installed executable itself from / (it must find its
# files in the share folder beside it) and plays the inner-planet demonstration to its end; then
# starts it from its menu entry through gio, as a desktop does, shows the laws picture and quits
# with はい.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/kepler laws"
mkdir -p "$prefix/bin" "$prefix/share"
# The user who runs the program must reach the prefix: mktemp's folder is the owner's alone.
chmod 755 "$work" "$prefix" "$prefix/bin" "$prefix/share"
(umask 077 && cmake --install "$build" --prefix "$prefix" >/dev/null)

for f in bin/kepler-laws libexec/kepler-laws/kepler-laws share/applications/kepler-laws.desktop \
         share/icons/hicolor/128x128/apps/kepler-laws.png share/kepler-laws/kepler.bmp \
         share/kepler-laws/kasei-kouten-Koukei.dat share/kepler-laws/Suisei-kouten-Koukei.dat \
         share/doc/kepler-laws/kepler-p-gothic-LICENSE.txt \
         share/doc/kepler-laws/kepler-gothic-ub-LICENSE.txt; do
  [[ -e "$prefix/$f" ]] || { echo "not installed: $f"; exit 1; }
done
[[ $(ls "$prefix/share/kepler-laws" | wc -l) -eq 9 ]] || { echo "expected nine files in share/kepler-laws"; exit 1; }
# Whatever the umask: folders 755, the two programs 755, every other file 644.
wrong=$(cd "$prefix" && find . \( \( -type d ! -perm 755 \) -o \
  \( -type f \( -path ./bin/kepler-laws -o -path ./libexec/kepler-laws/kepler-laws \) ! -perm 755 \) -o \
  \( -type f ! -path ./bin/kepler-laws ! -path ./libexec/kepler-laws/kepler-laws ! -perm 644 \) \) \
  -printf '%m %p\n')
[[ -z $wrong ]] || { echo "installed under umask 077, not readable by every user:"; echo "$wrong"; exit 1; }
echo "installed under umask 077: folders 755, programs 755, files 644"
entry="$prefix/share/applications/kepler-laws.desktop"
grep -qx "Name\[ja\]=ケプラーの法則" "$entry"
grep -qx "Path=$prefix/share/kepler-laws" "$entry" || { echo "wrong Path line"; grep Path "$entry"; exit 1; }
grep -qx "Exec=\"$prefix/bin/kepler-laws\"" "$entry" || { echo "wrong Exec line"; grep Exec "$entry"; exit 1; }

# Who starts the installed program: a student, not the administrator who installed it. As root,
# the user nobody; otherwise the test can switch to no other user, and the program runs as the
# one running the test (the permissions above are still checked).
run="$work/run"
mkdir "$run" "$run/home"
as_user=()
if [[ $(id -u) -eq 0 ]] && id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
  chown -R nobody "$run"
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups
           env HOME="$run/home" XDG_CACHE_HOME="$run/home/.cache" XDG_CONFIG_HOME="$run/home/.config")
  runner="the user nobody"
  # A sanitizer build reads its leak suppressions at start: that user must reach them too.
  if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$run/lsan.supp"
    as_user+=("LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$run/lsan.supp}")
  fi
else
  runner="$(id -un) (not root: no other user to start the program as)"
fi
echo "the installed program is started as $runner"

cat >"$run/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
# Runs inside the virtual display. $1: the prefix, $2: the folder for its logs.
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
chmod 755 "$run/drive.sh"
"${as_user[@]}" xvfb-run -a -s "-screen 0 1280x800x24" "$run/drive.sh" "$prefix" "$run"

trace="$run/direct.log"
grep -q 'kepler.forms: Image4 Picture "Venus01.gif"' "$trace" || { echo "the pictures were not found from /"; tail "$trace"; exit 1; }
grep -q 'kepler.forms: Form1 Close' "$trace" || { echo "the data file was not read"; tail "$trace"; exit 1; }
grep -q 'kepler.forms: Form1 Return Command1(7)' "$trace" || { echo "the demonstration did not finish"; tail "$trace"; exit 1; }
frames=$(grep -c 'kepler.forms: Form1 Wait 3$' "$trace")
[[ $frames -eq 1800 ]] || { echo "played $frames frames, not 1800"; exit 1; }
echo "installed into '$prefix', started the executable from / as $runner, played 1800 frames"

if ! command -v gio >/dev/null; then
  echo "gio not found (package libglib2.0-bin): the menu entry was not started"
  exit 0
fi
menu="$run/menu.log"
grep -q 'kepler.forms: Image3 Picture "kepler.bmp"' "$menu" || { echo "the menu entry did not start the program"; tail "$menu"; exit 1; }
grep -q 'kepler.forms: Form1 End' "$menu" || { echo "the program started from the menu entry did not end"; tail "$menu"; exit 1; }
echo "started from the menu entry through gio, showed kepler.bmp and ended"
