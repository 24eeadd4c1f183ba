# Sourced by the installer tests inside their Wine session, with $arch (win32 or
# win64) set: the registry as Add/Remove Programs sees it, the system folder, and the
# installed saver and clock step run from there.

windows=$WINEPREFIX/drive_c/windows
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The registry as 64-bit programs see it, where Add/Remove Programs looks, on 64-bit
# Windows: `wine reg` runs the 32-bit reg.exe there.
# Likewise a program started by its Windows path goes through the 32-bit loader, which
# would look in syswow64 for system32: start the installed saver with the 64-bit one.
view=()
native_wine=wine
if [ "$arch" = win64 ]; then
  view=(/reg:64)
  native_wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi

# A registry value's data, or nothing and a failure when it is missing.
reg_value() {
  wine reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ */, ""); print; found = 1 }
                      END { exit !found }'
}
reg_key_exists() { wine reg query "$1" "${view[@]}" >/dev/null 2>&1; }
reg_set() { wine reg add "$1" /v "$2" /d "$3" /f "${view[@]}" >/dev/null 2>&1; }
reg_delete() { wine reg delete "$1" /v "$2" /f "${view[@]}" >/dev/null 2>&1 || true; }

value_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
value_missing() { ! reg_value "$1" "$2" >/dev/null; }
same_file() { cmp -s "$1" "$2"; }
no_file() { [ ! -e "$1" ]; }

# How many programs Add/Remove Programs lists under the display name $1.
entries_named() {
  wine reg query "$uninstall_root" /s "${view[@]}" 2>/dev/null | tr -d '\r' |
    grep -c "^ *DisplayName *REG_SZ *$1\$" || true
}

# The brightest pixel near a point of the clock's plane, on a full-screen frame of the
# screenshot's size (eye at z = 5, 45 degrees: 5 tan 22.5 units from centre to edge).
brightness_near() {
  local shot=$1 x=$2 y=$3 size px py
  size=$(identify -format '%w %h' "$shot")
  read -r px py < <(awk -v s="$size" -v x="$x" -v y="$y" 'BEGIN {
    split(s, wh, " "); e = 5 * sin(3.14159265 / 8) / cos(3.14159265 / 8)
    printf "%d %d\n", wh[1] / 2 * (1 + x / e) - 2, wh[2] / 2 * (1 - y / e) - 2 }')
  convert "$shot" -crop "5x5+$px+$py" -colorspace Gray -format '%[fx:int(255*maxima)]' info:
}

# The installed saver, started from the system folder as Windows starts it, covers the
# screen and draws the clock: the hour marks at 12, 3, 6 and 9 (radius 1.7) are lit,
# a corner stays black.
installed_saver_draws() {
  local pid lit=0 b shot=$WINEPREFIX/../installed-saver.png
  "$native_wine" 'C:\windows\system32\tessaryn.scr' /s &
  pid=$!
  # Waits for the window and its first frames, not for a time: a loaded machine is slow.
  for _ in $(seq 120); do
    lit=0
    if xwininfo -root -tree | grep -q '"Full"'; then
      import -window root "$shot"
      for mark in "0 1.7" "1.7 0" "0 -1.7" "-1.7 0"; do
        b=$(brightness_near "$shot" $mark)
        [ "$b" -gt 100 ] && lit=$((lit + 1))
      done
      [ "$lit" -eq 4 ] && break
    fi
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "    hour marks lit: $lit of 4, corner $(brightness_near "$shot" -2.0 2.0)"
  [ "$lit" -eq 4 ] && [ "$(brightness_near "$shot" -2.0 2.0)" -lt 40 ]
}

# The installed clock step runs from the system folder and refuses a request without
# arguments (ERROR_BAD_ARGUMENTS, 160) before it touches the clock.
installed_clock_step_runs() {
  local code=0
  "$native_wine" 'C:\windows\system32\tessaryn-clock.exe' || code=$?
  [ "$code" -eq 160 ]
}

# NOTE: Windows returns an installer's result code (1603, 1638...) but a Unix exit status
# keeps only its low byte.
exit_code_is() { [ "$1" -eq $(($2 % 256)) ]; }

# Whether the program that command $2... starts shows a message box holding text $1.
# NOTE: silent, the installers log no refusal's message (Wine's msiexec not even with
# /l*v); shown, its text is in the trace of Wine's msgbox channel (escaped as C strings
# are). Waits for that box, then ends the program it started.
refusal_says() {
  local text=$1 trace pid found=1
  shift
  trace=$(mktemp "$WINEPREFIX/../msgbox-XXXX.txt")
  WINEDEBUG=+msgbox "$@" >"$trace" 2>&1 &
  pid=$!
  for _ in $(seq 120); do
    if grep -a 'MSGBOX_OnInit' "$trace" 2>/dev/null | sed 's/\\\(.\)/\1/g' | grep -qF "$text"; then
      found=0
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  return "$found"
}
