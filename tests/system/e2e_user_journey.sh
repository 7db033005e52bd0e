#!/usr/bin/env bash
# A member's whole journey through the real program under Xvfb, driven by real input events:
# the demo list, a category, the menu 操作 and 复制地址, the log-in window, registration,
# log-in, a transfer and a submission; then the database must hold exactly what they leave.
#
#   e2e_user_journey.sh [--browse-only] PROGRAM DB_PORT DB_USER DB_PASSWORD SITE_ID IP_PAGE_URL ARTIFACT_DIR
#
# The arguments are the build's compiled-in deployment values; screenshots of every step and
# the program's output go to ARTIFACT_DIR. --browse-only stops before 个人中心.
#
# Runs in private network and mount namespaces when it can (its own 127.0.0.1 and /tmp, so the
# compiled-in ports, the server's socket and the display are free). Exit 77 (skipped) only
# when the X tools are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
original_args=("$@")
browse_only=0
if [ "${1:-}" = --browse-only ]; then browse_only=1; shift; fi
[ $# -eq 7 ] || { echo "usage: $0 PROGRAM DB_PORT DB_USER DB_PASSWORD SITE_ID IP_PAGE_URL ARTIFACT_DIR" >&2; exit 2; }
program=$(realpath "$1") port=$2 db_user=$3 db_password=$4 site_id=$5 ip_page_url=$6
artifacts=$(realpath -m "$7")

for tool in Xvfb xdotool xclip import xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: no program at $program" >&2; exit 1; }

# Into namespaces of our own (root, or an unprivileged user namespace).
if [ -z "${E2E_IN_NAMESPACE:-}" ] && command -v ip >/dev/null; then
  for unshare_args in "-nm" "-rnm"; do
    if unshare $unshare_args true 2>/dev/null; then
      E2E_IN_NAMESPACE=1 exec unshare $unshare_args "$0" "${original_args[@]}"
    fi
  done
fi
if [ -z "${E2E_IN_NAMESPACE:-}" ]; then
  echo "note: no private namespaces; using the host's 127.0.0.1:$port and /tmp"
else
  ip link set lo up
  mount --make-rprivate /
  # A /tmp of our own, unless the checkout or the build lives there (it would disappear).
  case "$root:$program:$artifacts" in
    /tmp/* | *:/tmp/*) echo "note: the checkout is under /tmp; keeping the host's /tmp" ;;
    *) mount -t tmpfs -o mode=1777 tmpfs /tmp ;;
  esac
fi

rm -rf "$artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/quenbo-e2e.XXXXXX)
db_dir="$work/db"
database="${db_user}_db"
export QUENBO_DB_USER=$db_user QUENBO_DB_PASSWORD=$db_password QUENBO_STATS_SITE_ID=$site_id

started=()
finish() {
  local status=$?
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill "${started[$i]}" 2>/dev/null || true; done
  "$root/scripts/db" stop --dir "$db_dir" >/dev/null 2>&1 || true
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
    cp "$db_dir/error.log" "$artifacts/" 2>/dev/null || true
    echo "screenshots and logs: $artifacts" >&2
  fi
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
for signal in TERM INT HUP; do
  trap "echo 'FAIL: the test got SIG$signal' >&2; exit 1" "$signal"
done
fail() { echo "FAIL: $*" >&2; shot "failure" || true; exit 1; }
wait_for() {  # wait_for SECONDS COMMAND...
  local limit=$(( $1 * 10 )); shift
  for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

# ---- The community database with its demo data, and the what-is-my-IP page ----
"$root/scripts/db" community --dir "$db_dir" --port "$port" --reset >/dev/null
sql() { mariadb --defaults-file="$db_dir/my.cnf" --default-character-set=utf8mb4 -N -B "$database" -e "$1"; }
# The page answers with the caller's address in brackets (only a page on this machine).
if [[ "$ip_page_url" =~ ^http://127\.0\.0\.1:([0-9]+)/(.+)$ ]]; then
  page_port=${BASH_REMATCH[1]} page_dir="$work/page"
  mkdir -p "$page_dir/$(dirname "${BASH_REMATCH[2]}")"
  echo "[127.0.0.1]" >"$page_dir/${BASH_REMATCH[2]}"
  python3 -m http.server "$page_port" --bind 127.0.0.1 --directory "$page_dir" >/dev/null 2>&1 &
  started+=($!)
  wait_for 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$page_port" 2>/dev/null || fail "the address page did not start"
fi

# What the journey must not touch, taken before it starts.
members_before=$(sql "SELECT * FROM Quenbo登录验证 WHERE 账号<>'demo' ORDER BY 账号")
demo_before=$(sql "SELECT 账号,密码,投稿量,帐号状态,正在审核的资源,ID FROM Quenbo登录验证 WHERE 账号='demo'")
demo_coins_before=$(sql "SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='demo'")
receipts_before=$(sql "SELECT * FROM 审核回执 ORDER BY 序号")
submissions_before=$(sql "SELECT * FROM 投稿审核 ORDER BY 序号")
resources_before=$(for t in 编程源码 软件辅助 活动线报 精品资源; do sql "SELECT * FROM \`$t\` ORDER BY 序号"; done)
total_before=$(sql "SELECT SUM(Quenbo币) FROM Quenbo登录验证")
newest_address() { sql "SELECT 地址 FROM \`$1\` ORDER BY 更新时间 DESC LIMIT 1"; }

# ---- A screen of our own ----
display=
for candidate in 88 87; do
  if [ ! -e "/tmp/.X${candidate}-lock" ]; then display=:$candidate; break; fi
done
[ -n "$display" ] || fail "displays :88 and :87 are both taken"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
started+=($!)
export DISPLAY=$display
wait_for 10 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start on $display"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

# The program runs from a copy, so that the account it remembers stays in this run.
mkdir -p "$work/bin" "$work/cwd"
cp "$program" "$work/bin/"
step=0
shot() {  # shot NAME: the whole screen
  step=$((step + 1))
  import -window root "$artifacts/$(printf '%02d' $step)-$1.png"
}
expect() {  # expect WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1: got
$2
expected
$3"
}
tab=$'\t'
clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }
program_alive() { kill -0 "$client" 2>/dev/null || fail "the program has ended"; }
# The program's visible top-level windows, newest last.
visible_windows() { xdotool search --onlyvisible --pid "$client" 2>/dev/null || true; }
new_window() {  # new_window KNOWN_IDS: wait for a visible window not in the list
  local known=$1 id
  for _ in $(seq 1 100); do
    for id in $(visible_windows); do
      grep -qx "$id" <<<"$known" || { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
window_gone() { ! xdotool search --onlyvisible --pid "$client" 2>/dev/null | grep -qx "$1"; }
click() {  # click WINDOW X Y [COUNT]
  xdotool mousemove --window "$1" "$2" "$3" && sleep 0.2 && xdotool click --repeat "${4:-1}" --delay 80 1
  sleep 0.3
}
type_into() {  # type_into WINDOW X Y TEXT: click an edit box and type ASCII
  click "$1" "$2" "$3"
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 40 "$4"
}
# A message box the program opens over WINDOWS; its screenshot is taken, then OK is pressed.
answer_message_box() {  # answer_message_box KNOWN_IDS NAME
  local box
  box=$(new_window "$1") || fail "no message box for $2"
  sleep 0.5
  shot "$2"
  xdotool windowfocus "$box" 2>/dev/null || true
  xdotool key Return
  wait_for 5 window_gone "$box" || fail "the message box for $2 did not close"
}

(cd "$work/cwd" && exec "$work/bin/$(basename "$program")") >"$artifacts/program.log" 2>&1 &
client=$!
started+=($client)

# ---- The main window with the demo list (the first category, 编程源码) ----
wait_for 30 bash -c "xdotool search --onlyvisible --pid $client >/dev/null 2>&1" || fail "no main window"
main=$(visible_windows | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main" | sed 's/^/main_/')"
# The pixels of the list's rows (a load repaints them), as a hash.
rows_hash() {
  import -window root -crop "440x200+$((main_X + 20))+$((main_Y + 172))" rgb:- 2>/dev/null | md5sum
}
# Waits until the rows have not changed for a second; with a hash, first until they differ from it.
wait_rows_settled() {  # wait_rows_settled [HASH_BEFORE]
  local previous current stable=0
  previous=$(rows_hash)
  for _ in $(seq 1 100); do
    sleep 0.25
    current=$(rows_hash)
    if [ "$current" = "$previous" ] && [ "$current" != "${1:-}" ]; then
      stable=$((stable + 1))
      [ "$stable" -ge 4 ] && return 0
    else
      stable=0
    fi
    previous=$current
  done
  return 1
}
sleep 3  # the opening effect
wait_rows_settled || fail "the main window's list did not settle"
shot "main-window"
known=$(visible_windows)

# Rows are about 20 px high under a header; the first row's centre.
list_x=120 first_row_y=182
copy_first_row_address() {  # copy_first_row_address NAME
  echo -n "" | xclip -selection clipboard
  click "$main" "$list_x" "$first_row_y" 2
  local menu
  menu=$(new_window "$known") || fail "a double click on the first row opened no menu"
  sleep 0.3
  shot "$1-menu"
  # The menu 操作: 打开, then 复制地址.
  xdotool key Down Down Return
  wait_for 5 window_gone "$menu" || fail "the menu stayed open"
  answer_message_box "$known" "$1-copied"
}
copy_first_row_address "demo-list"
program_alive
expected=$(newest_address 编程源码)
actual=$(clipboard)
[ "$actual" = "$expected" ] || fail "复制地址 on the demo list gave '$actual', expected '$expected'"
echo "ok: the demo list's first row copies $actual"

# ---- A category click lists that table: 精品资源 ----
before=$(rows_hash)
click "$main" 240 70
wait_rows_settled "$before" || fail "精品资源 did not change the list"
shot "category-featured"
copy_first_row_address "featured"
program_alive
expected=$(newest_address 精品资源)
actual=$(clipboard)
[ "$actual" = "$expected" ] || fail "复制地址 after 精品资源 gave '$actual', expected '$expected'"
echo "ok: 精品资源 lists its table; the first row copies $actual"

if [ "$browse_only" = 1 ]; then
  echo "PASS (browse only): screenshots in $artifacts"
  exit 0
fi

# ---- 个人中心 opens the log-in window ----
list_rows=$(rows_hash)
click "$main" 306 70
login=$(new_window "$known") || fail "个人中心 opened no log-in window"
sleep 0.5
shot "login-window"
known_login=$(visible_windows)

# ---- Registration of a new member ----
account=e2emember password=e2epass1
click "$login" 32 120   # 注册
type_into "$login" 119 34 "$account"
type_into "$login" 119 66 "$password"
shot "register-filled"
click "$login" 120 100  # the button, now 注册
answer_message_box "$known_login" "registered"
expect "the registered member" "$(sql "SELECT 账号,密码,Quenbo币,投稿量,帐号状态,回执消息 FROM Quenbo登录验证 WHERE 账号='$account'")" \
  "$account${tab}$password${tab}2${tab}0${tab}正常${tab}欢迎加入Quenbo资源社区"
echo "ok: $account registered"

# ---- Log-in: the member panel ----
click "$login" 120 100  # the button, back to 登录
wait_for 10 window_gone "$login" || fail "the log-in window stayed after logging in"
wait_rows_settled "$list_rows" || fail "the member panel did not replace the list"
shot "member-panel"
caption=$(xdotool getwindowname "$main")
[[ "$caption" == *" - 正式版 id $account" ]] || fail "the caption after the log-in is '$caption'"
program_alive
echo "ok: $account logged in"

# ---- Transfer: 1 coin to demo ----
click "$main" 75 380
transfer=$(new_window "$known") || fail "转账 opened no transfer window"
sleep 0.5
known_transfer=$(visible_windows)
type_into "$transfer" 124 20 demo
type_into "$transfer" 124 54 1
shot "transfer-filled"
click "$transfer" 232 38
answer_message_box "$known_transfer" "transferred"
python3 "$here/e2e_close_window.py" "$transfer"
wait_for 10 window_gone "$transfer" || fail "the transfer window did not close"
sleep 0.5
shot "after-transfer"
expect "the sender after the transfer" "$(sql "SELECT Quenbo币,回执消息 FROM Quenbo登录验证 WHERE 账号='$account'")" \
  "0${tab}您刚刚向用户： demo 汇款 1 个Quenbo币"
echo "ok: transfer confirmed"

# ---- Submission ----
title="E2E journey title" description="A resource submitted by the end-to-end test" address="https://example.org/e2e-journey"
click "$main" 190 380
submit=$(new_window "$known") || fail "投稿 opened no submission window"
sleep 0.5
known_submit=$(visible_windows)
type_into "$submit" 156 28 "$title"
type_into "$submit" 156 60 "$description"
type_into "$submit" 156 92 "$address"
shot "submit-filled"
click "$submit" 304 92
answer_message_box "$known_submit" "submitted"
wait_for 10 window_gone "$submit" || fail "the submission window stayed after submitting"
sleep 0.5
shot "after-submit"
program_alive
echo "ok: submission confirmed"

# ---- The database holds exactly what the journey leaves ----
expect "the new member's row" \
  "$(sql "SELECT 账号,密码,Quenbo币,投稿量,帐号状态,回执消息,正在审核的资源,ID FROM Quenbo登录验证 WHERE 账号='$account'")" \
  "$account${tab}$password${tab}0${tab}0${tab}正常${tab}你有一条投稿正在审核中，请耐心等待！${tab}1${tab}$account"
expect "the recipient's row" \
  "$(sql "SELECT 账号,密码,投稿量,帐号状态,正在审核的资源,ID FROM Quenbo登录验证 WHERE 账号='demo'")" "$demo_before"
expect "the recipient's coins and receipt" "$(sql "SELECT Quenbo币,回执消息 FROM Quenbo登录验证 WHERE 账号='demo'")" \
  "$((demo_coins_before + 1))${tab}用户：${account}向您汇款1Quenbo币"
expect "the other members" "$(sql "SELECT * FROM Quenbo登录验证 WHERE 账号 NOT IN ('demo','$account') ORDER BY 账号")" \
  "$members_before"
# Registration gives 2 coins; the transfer's fee of 1 leaves the community.
expect "the community's coins" "$(sql "SELECT SUM(Quenbo币) FROM Quenbo登录验证")" "$((total_before + 2 - 1))"
expect "the other review receipts" "$(sql "SELECT * FROM 审核回执 WHERE ID<>'$account' ORDER BY 序号")" \
  "$receipts_before"
expect "the welcome receipt" "$(sql "SELECT ID,回执消息 FROM 审核回执 WHERE ID='$account'")" \
  "$account${tab}快去分享资源赚Quenbo币下载资源吧！"
expect "the submissions before" "$(sql "SELECT * FROM 投稿审核 WHERE ID<>'$account' ORDER BY 序号")" "$submissions_before"
expect "the submission" \
  "$(sql "SELECT ID,标题,说明,地址,审核状态,分类 FROM 投稿审核 WHERE ID='$account'")" \
  "$account${tab}$title${tab}$description${tab}$address${tab}审核中${tab}编程源码"
expect "the resource tables" \
  "$(for t in 编程源码 软件辅助 活动线报 精品资源; do sql "SELECT * FROM \`$t\` ORDER BY 序号"; done)" "$resources_before"
echo "ok: the database holds exactly the journey's changes"
echo "PASS: screenshots in $artifacts"
