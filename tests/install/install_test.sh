#!/usr/bin/env bash
# Installs the program under umask 077 into a temporary prefix whose path holds a space and whose
# bin/ and share/ already exist, checks that every user may read what it installed (folders 755,
# files 644, programs 755), then under a virtual display, as another, unprivileged user (nobody,
# when the test runs as root): starts the installed executable itself from / (it must find its
# pictures and data files in the share folder beside it) and plays the inner-planet demonstration
# to its end; then starts it from its menu entry through gio, as a desktop does, shows the laws
# picture and quits with はい. Without gio (libglib2.0-bin) the test is skipped (77).
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
command -v gio >/dev/null || { echo "skipped: gio not found (libglib2.0-bin)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/kepler laws"
mkdir -p "$prefix/bin" "$prefix/share"
# The user who runs the program must reach the prefix: mktemp's folder is the owner's alone.
chmod 755 "$work" "$prefix" "$prefix/bin" "$prefix/share"
(umask 077 && cmake --install "$build" --prefix "$prefix" >/dev/null)
fail() { echo "$@"; exit 1; }

# What the two runs below do not use: the icon, the font licences, the Mars data; the share folder
# holds the nine files the program reads and nothing else.
(cd "$prefix/share" && ls icons/*/128x128/apps/kepler-laws.png kepler-laws/kasei-kouten-Koukei.dat \
  doc/kepler-laws/kepler-{p-gothic,gothic-ub}-LICENSE.txt >/dev/null) || fail "not all installed"
[[ $(ls "$prefix/share/kepler-laws" | wc -l) -eq 9 ]] || fail "not nine files in share/kepler-laws"
# Whatever the umask: folders 755, the two programs 755, every other file 644 (a program at 644
# is left to the runs below, which it would not start).
wrong=$(cd "$prefix" && find . -printf '%y%m %p\n' | { grep -v -e '^d755 ' -e '^f644 ' \
  -e '^f755 \./bin/kepler-laws$' -e '^f755 \./libexec/kepler-laws/kepler-laws$' || true; })
[[ -z $wrong ]] || fail "installed under umask 077, not readable by every user:" "$wrong"
entry="$prefix/share/applications/kepler-laws.desktop"
[[ $(grep -cxF -e "Name[ja]=ケプラーの法則" -e "Path=$prefix/share/kepler-laws" \
  -e "Exec=\"$prefix/bin/kepler-laws\"" "$entry") -eq 3 ]] || fail "menu entry:" "$(<"$entry")"

# Who starts the installed program: a student, not the administrator who installed it. As root,
# the user nobody; otherwise the test can switch to no other user, and the program runs as the
# one running the test (the permissions above are still checked).
run="$work/run"
mkdir -p "$run/home"
as_user=()
if [[ $(id -u) -eq 0 ]] && id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
  chown -R nobody "$run"
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups
           env -u XDG_CACHE_HOME -u XDG_CONFIG_HOME HOME="$run/home")
  # A sanitizer build reads its leak suppressions at start: that user must reach them too.
  if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$run/lsan.supp"
    as_user+=("LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$run/lsan.supp}")
  fi
fi

cat >"$run/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
# Runs inside the virtual display. $1: the prefix, $2: the folder for its logs.
# wait_for LINE TENTHS: waits for a trace line in $log
wait_for() { for _ in $(seq "$2"); do grep -q "$1" "$log" && return 0; sleep 0.1; done; }
# click LINE TENTHS N: once LINE is traced, clicks Command1(N), Command2 (8), Command3 (9)
click() { wait_for "$1" "$2"; sleep 0.5; xdotool mousemove 891 $((66 + 50 * $3)) click 1; }
export QT_LOGGING_RULES="kepler.forms.debug=true"
cd /
log="$2/direct.log"
"$1/libexec/kepler-laws/kepler-laws" 2>"$log" &
click "Command3 Caption" 100 7
wait_for "Form1 Return Command1(7)" 300
kill $! && wait $! 2>/dev/null
log="$2/menu.log"
gio launch "$1/share/applications/kepler-laws.desktop" 2>"$log"
click "Command3 Caption" 100 8
click "Form1 Return Command2" 50 9
sleep 1
xdotool key Return
wait_for "Form1 End" 50
sleep 0.5
DRIVE
"${as_user[@]}" xvfb-run -a -s "-screen 0 1280x800x24" bash "$run/drive.sh" "$prefix" "$run"

# expect LOG LINE WHAT_IT_MEANS
expect() { grep -q "kepler.forms: $2" "$run/$1.log" || { tail "$run/$1.log"; fail "$3"; }; }
expect direct "Form1 Return Command1(7)" "the demonstration started from / did not finish"
expect menu 'Image3 Picture "kepler.bmp"' "started from the menu entry, it showed no laws picture"
expect menu "Form1 End" "started from the menu entry, the program did not end"
echo "installed into '$prefix', played from / and started from the menu entry through gio" \
  "${as_user:+as the user nobody}"
