#!/bin/bash
# End-to-end run of the self-update on a real X display: program 1.7 finds version 1.8
# announced, the user presses "开始更新" (the file comes from a slow server on 127.0.0.1),
# then "启动"; 1.7 ends, 1.8 starts and removes the old file and the marker.
# Usage: update_e2e.sh BUILD_DIR [DISPLAY]. Screenshots: BUILD_DIR/shots/update-*.png.
set -euo pipefail
build=$(realpath "${1:?build directory}")
display=${2:-:97}
bin=$build/tests/dialogs
shots=$build/shots
mkdir -p "$shots"
work=$(mktemp -d /tmp/update_e2e.XXXXXX)
started=()
finish() {  # the programs first, the display last
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill "${started[$i]}" 2>/dev/null || true; done
}
trap finish EXIT

fail() { echo "FAIL: $* (files kept in $work)"; cat "$work/e2e.log" 2>/dev/null; exit 1; }
wait_for() {  # wait_for SECONDS COMMAND...
  local limit=$(( $1 * 10 )); shift
  for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
shot() { import -display "$display" -window root "$shots/update-$1.png"; echo "screenshot $shots/update-$1.png"; }

if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  started+=($!)
  wait_for 10 xdpyinfo -display "$display" >/dev/null 2>&1 || fail "no X display $display"
fi
export DISPLAY=$display QT_QPA_PLATFORM=xcb

# The program directory holds version 1.7; the server sends the same program as version 1.8.
old="$work/Quenbo资源社区1.7"
new="$work/Quenbo资源社区1.8"
cp "$bin/update_e2e_program" "$old"
mkdir "$work/server"
cp "$bin/update_e2e_program" "$work/server/program"
"$bin/update_e2e_server" "$work/server/program" /Quenbo1.8 >"$work/url.txt" &
started+=($!)
wait_for 5 test -s "$work/url.txt" || fail "server did not start"
url=$(head -1 "$work/url.txt")
printf '[Settings]\nlatest_version=1.8\ndownload_url=%s\nupdate_notes=新增自动更新：下载进度、断点续传、启动新版本。修复若干问题。\n' "$url" |
  iconv -f UTF-8 -t GBK >"$work/settings.ini"

(cd "$work" && exec "$old") &
old_pid=$!
started+=($old_pid)
wait_for 10 xdotool search --name "Quenbo社区-自动更新" >/dev/null || fail "no update window"
window=$(xdotool search --name "Quenbo社区-自动更新" | head -1)
sleep 1
shot 1-offered

xdotool mousemove --window "$window" 196 204 click 1
sleep 4
shot 2-downloading
wait_for 30 test -x "$new" || fail "the new program was not saved"
sleep 1
shot 3-downloaded
cmp -s "$new" "$work/server/program" || fail "the saved program differs from the served one"

xdotool mousemove --window "$window" 196 204 click 1
wait_for 10 bash -c "! kill -0 $old_pid 2>/dev/null" || fail "the old program did not end"
wait_for 10 grep -q "up to date 1.8" "$work/e2e.log" || fail "the new program did not start"
new_pid=$(pgrep -f -x "$new" | head -1 || true)
[ -n "$new_pid" ] && started+=($new_pid)
sleep 1
shot 4-new-version
[ ! -e "$old" ] || fail "the old program file is still there"
[ ! -e "$work/tembra.txt" ] || fail "the restart marker is still there"
grep -q "started 1.8, restart leftover 'Quenbo资源社区1.7'" <(iconv -f GBK -t UTF-8 "$work/e2e.log") ||
  fail "the new program did not clean up"
iconv -f GBK -t UTF-8 "$work/e2e.log"
finish
rm -rf "$work"
echo "PASS: self-update end to end"
