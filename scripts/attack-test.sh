#!/usr/bin/env bash
# The records against the people at the scale. Installs the package scripts/package-test.sh
# built, makes an operator account as an installation has them (in dialout and zolvelt, not in
# the records group zolvelt-rec), lets the program make its tables, and then tries as that
# operator what a dishonest one would: read the key, write a table, delete the chain heads or
# the key, edit the settings, load code of their own into the programs, run a copy of them,
# have them write over a table. Each attempt is printed with its outcome; the script exits 1
# when one succeeds. The account, the package (purged) and the records go again at the end.
# It needs root; elsewhere it says so and skips.
set -uo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "attack test: skipped: needs root (it installs the package and makes an account)"
  exit 0
fi
shopt -s nullglob
debs=(${ZOLVELT_DEB:-build/package/zolvelt_*.deb})
shopt -u nullglob
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "attack test: expected one package, found: ${debs[*]:-none} (run scripts/package-test.sh first)" >&2
  exit 1
fi
deb=$(realpath "${debs[0]}")
if dpkg-query -W -f='${Status}' zolvelt 2>/dev/null | grep -q ' installed' ||
  [ -e /etc/opt/zolvelt ] || [ -e /var/opt/zolvelt ]; then
  echo "attack test: skipped: ZOLVelt or its records are on this machine already; it runs only where it may purge what it installs"
  exit 0
fi

program=/opt/zolvelt/zolvelt
tool=/opt/zolvelt/zolvelt-tool
config=/etc/opt/zolvelt
tables=/var/opt/zolvelt/DB
op=zvattack$$
groups_before=$(getent group zolvelt zolvelt-rec | cut -d: -f1)
running=()

cleanup() {
  for pid in "${running[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  # Whatever still runs as the account (a program waiting in a message box) goes with it.
  if getent passwd "$op" >/dev/null; then
    pkill -KILL -u "$op" 2>/dev/null
    sleep 0.5
    userdel -r "$op" 2>/dev/null
  fi
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q zolvelt >/dev/null 2>&1
  rm -rf /etc/opt/zolvelt /var/opt/zolvelt /tmp/zolvelt-attack-install.log
  for g in zolvelt-rec zolvelt; do
    grep -qx "$g" <<<"$groups_before" || ! getent group "$g" >/dev/null || groupdel "$g"
  done
}
trap cleanup EXIT

echo "attack test: installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/tmp/zolvelt-attack-install.log 2>&1 || {
  cat /tmp/zolvelt-attack-install.log >&2
  echo "attack test: the package did not install" >&2
  exit 1
}
useradd --create-home --shell /bin/sh --groups dialout,zolvelt "$op"
home=$(getent passwd "$op" | cut -d: -f6)

# The operator's own session: their account, their groups, an environment of their choosing.
session=(setpriv --reuid="$op" --regid="$op" --init-groups
  env -i HOME="$home" USER="$op" LOGNAME="$op" PATH=/usr/bin:/bin)
as_op() { "${session[@]}" "$@"; }
# The same in the background; `pid` is the program's own (setpriv and env exec it).
start_as_op() {
  "${session[@]}" "$@" &
  pid=$!
  running+=("$pid")
}

failures=0
attack() { printf '  %-78s ' "$1"; }
refused() { echo "refused${1:+: $1}"; }
succeeded() {
  echo "SUCCEEDED${1:+: $1}"
  failures=$((failures + 1))
}
# The outcome of an attempt that must fail and leave `file` as it was.
expect_unchanged() {
  local file=$1 before=$2 status=$3
  if [ "$status" -eq 0 ] || [ "$(sha256sum <"$file")" != "$before" ]; then
    succeeded "exit $status, $(basename "$file") $([ "$(sha256sum <"$file")" = "$before" ] && echo unchanged || echo CHANGED)"
  else
    refused "exit $status, $(basename "$file") unchanged"
  fi
}
hash_of() { sha256sum <"$1"; }

# ---------------------------------------------------------------- the operator's tools
# A shim of three lines: it leaves a mark when the loader runs it.
cat >"$home/shim.c" <<EOF
#include <stdio.h>
__attribute__((constructor)) static void shim(void) { FILE* f = fopen("$home/shim-ran", "w"); if (f) fclose(f); }
EOF
gcc -shared -fPIC -o "$home/shim.so" "$home/shim.c"
# Plugins of the operator's own: copies of Qt's platform plugins, which they could patch.
mkdir -p "$home/plugins/platforms"
cp /usr/lib/*/qt6/plugins/platforms/libqoffscreen.so "$home/plugins/platforms/"
chown -R "$op:$op" "$home"
as_op LD_PRELOAD="$home/shim.so" /bin/true
if [ ! -e "$home/shim-ran" ]; then
  echo "attack test: the shim does not load even into /bin/true: the attacks below would prove nothing" >&2
  exit 1
fi
rm -f "$home/shim-ran"

# Waits up to 10 s for `pid` to map a file from the operator's home (then prints it).
maps_from_home() {
  local pid=$1 i
  for i in $(seq 20); do
    grep -F "$home/" "/proc/$pid/maps" 2>/dev/null | awk '{ print $6 }' | sort -u | grep . && return 0
    sleep 0.5
  done
  return 1
}

echo "attack test: the installed layout"
layout_ok=1
for entry in "$program 2755 root:zolvelt-rec" "$tool 2755 root:zolvelt-rec" \
  "$config 2770 root:zolvelt-rec" "$tables 2770 root:zolvelt-rec" \
  "/var/opt/zolvelt/ZOL_arch 2770 root:zolvelt-rec" "$config/ZOLVelt.key 640 root:zolvelt-rec"; do
  read -r path mode owner <<<"$entry"
  actual=$(stat -c '%a %U:%G' "$path")
  [ "$actual" = "$mode $owner" ] || { echo "  $path is $actual, not $mode $owner"; layout_ok=0; }
done
if ((layout_ok)); then echo "  the programs 2755, the folders 2770, the key 0640, all root:zolvelt-rec"; else failures=$((failures + 1)); fi

# ---------------------------------------------------------------- the first start
# A fresh installation's first start stops at the message about the missing calibration,
# before the tables: root makes them as the program would, through the tool (a train replayed
# into them), and the chain heads' file if the program has written none yet.
"$tool" simulate --wagons 2 --raw /tmp/zolvelt-attack.raw >/dev/null
"$tool" replay --raw /tmp/zolvelt-attack.raw --db /opt/zolvelt/DB >/dev/null 2>&1
rm -f /tmp/zolvelt-attack.raw
[ -e "$config/ZOLVelt.seals" ] || install -m 0660 -o root -g zolvelt-rec /dev/null "$config/ZOLVelt.seals"
if [ ! -e "$tables/Trains.db" ]; then
  echo "attack test: no tables were made" >&2
  exit 1
fi
echo "attack test: the program started as $op, with LD_PRELOAD and QT_PLUGIN_PATH of theirs"
start_as_op QT_QPA_PLATFORM=offscreen LD_PRELOAD="$home/shim.so" QT_PLUGIN_PATH="$home/plugins" \
  QT_QPA_PLATFORM_PLUGIN_PATH="$home/plugins/platforms" "$program" >"$home/program.log" 2>&1
for i in $(seq 60); do
  grep -q libqoffscreen "/proc/$pid/maps" 2>/dev/null && break
  sleep 0.5
done
if ! grep -q libqoffscreen "/proc/$pid/maps" 2>/dev/null; then
  echo "attack test: the program did not come up in 30 s:" >&2
  cat "$home/program.log" >&2
  exit 1
fi
attack "LD_PRELOAD into the program"
if [ -e "$home/shim-ran" ] || grep -qF "$home/shim.so" "/proc/$pid/maps"; then succeeded; else refused "the loader ignored it"; fi
attack "QT_PLUGIN_PATH into the program"
loaded=$(grep -F "$home/" "/proc/$pid/maps" | awk '{ print $6 }' | sort -u | tr '\n' ' ')
if [ -n "$loaded" ]; then succeeded "loaded $loaded"; else refused "only the system's plugins loaded"; fi
attack "read the running program's environment and memory"
if as_op cat "/proc/$pid/environ" >/dev/null 2>&1 || as_op head -c1 "/proc/$pid/mem" >/dev/null 2>&1; then
  succeeded
else
  refused "not dumpable"
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
running=()
sleep 1
echo "attack test: the records after it: $(cd "$config" && ls | tr '\n' ' ')/ $(cd "$tables" && ls | tr '\n' ' ')"

# ---------------------------------------------------------------- the records themselves
echo "attack test: the records, as $op"
attack "list the tables folder"
if as_op ls "$tables" >/dev/null 2>&1; then succeeded; else refused; fi
attack "read the key"
if as_op cat "$config/ZOLVelt.key" >/dev/null 2>&1; then succeeded; else refused; fi
for table in "$tables/Trains.db" "/opt/zolvelt/DB/Trains.db"; do
  attack "write a table with sqlite3 ($table)"
  before=$(hash_of "$tables/Trains.db")
  as_op sqlite3 "$table" "CREATE TABLE forged(x); UPDATE Trains SET Weight = 50000;" >/dev/null 2>&1
  expect_unchanged "$tables/Trains.db" "$before" $?
done
[ -e "$config/ZOLVelt.seals" ] || echo "  (the program wrote no heads file; the attempts on it find none)"
for name in ZOLVelt.seals ZOLVelt.key; do
  attack "delete and rename $name"
  there=0
  [ -e "$config/$name" ] && there=1
  as_op mv "$config/$name" "$home/$name" >/dev/null 2>&1
  as_op rm -f "$config/$name" >/dev/null 2>&1
  if [ -e "$home/$name" ] || { ((there)) && [ ! -e "$config/$name" ]; }; then succeeded; else refused; fi
done
for ini in "$config/ZOLVelt.ini" /opt/zolvelt/ZOLVelt.ini; do
  attack "edit the settings file ($ini)"
  before=$(hash_of "$config/ZOLVelt.ini")
  as_op sh -c "echo 'ak=1900000' >>'$ini'" >/dev/null 2>&1
  expect_unchanged "$config/ZOLVelt.ini" "$before" $?
done
attack "find anything in the records others may read or write"
open=$(find "$config" /var/opt/zolvelt ! -type l -perm /o=rwx 2>/dev/null)
if [ -n "$open" ]; then succeeded "$(echo $open)"; else refused "none"; fi

# ---------------------------------------------------------------- the programs
echo "attack test: the programs, as $op"
expected=$(sha256sum "$program" | cut -c1-8)
attack "LD_PRELOAD into zolvelt-tool identify"
shown=$(as_op LD_PRELOAD="$home/shim.so" "$tool" identify 2>&1)
if [ -e "$home/shim-ran" ] || [[ "$shown" != *"$expected"* ]]; then succeeded "$shown"; else refused "$shown"; fi
attack "a copy of zolvelt-tool in the operator's home"
as_op cp "$tool" "$home/zolvelt-tool"
as_op "$home/zolvelt-tool" check-records --db /opt/zolvelt/DB >"$home/copy.log" 2>&1
status=$?
if [ $status -eq 0 ] || [ $status -eq 1 ]; then succeeded "it checked the records"; else refused "no access to the records (exit $status)"; fi
attack "a copy of the program in the home, linked to the real settings and tables"
as_op cp "$program" "$home/zolvelt"
as_op ln -s /opt/zolvelt/DB "$home/DB"
as_op ln -s /opt/zolvelt/ZOLVelt.ini "$home/ZOLVelt.ini"
as_op ln -s /opt/zolvelt/ZOL_arch "$home/ZOL_arch"
before=$(hash_of "$tables/Trains.db")
start_as_op QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$home/plugins" "$home/zolvelt" >"$home/copy-program.log" 2>&1
if maps_from_home "$pid" >/dev/null; then mapped="it took the operator's plugins"; else mapped="it took no plugin of theirs"; fi
held=$(ls -l "/proc/$pid/fd" 2>/dev/null | grep -E '/(etc|var)/opt/zolvelt' || true)
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
running=()
if [ -n "$held" ] || [ "$(hash_of "$tables/Trains.db")" != "$before" ]; then
  succeeded "it opened $held"
else
  refused "it runs as the operator alone and opened no records ($mapped)"
fi
rm -f "$home/DB" "$home/ZOLVelt.ini" "$home/ZOL_arch"
for exe in "$tool" "$program"; do
  name=$(basename "$exe")
  attack "a set-group-ID copy of $name outside /opt/zolvelt"
  cp "$exe" "$home/$name-sgid"
  chown root:zolvelt-rec "$home/$name-sgid"
  chmod 2755 "$home/$name-sgid"
  said=$(as_op QT_QPA_PLATFORM=offscreen timeout 20 "$home/$name-sgid" identify 2>&1)
  status=$?
  if [ $status -eq 126 ] && [[ "$said" == *"запуск отменен"* ]]; then refused "exit 126: $said"; else succeeded "exit $status: $said"; fi
  rm -f "$home/$name-sgid"
done

attack "zolvelt-tool reads the records with the group's rights (not an attack)"
if as_op "$tool" report trains --db /opt/zolvelt/DB --txt "$home/trains.txt" >/dev/null 2>&1 && [ -s "$home/trains.txt" ]; then
  echo "it does, and writes the report as the operator: $(stat -c '%U:%G' "$home/trains.txt")"
else
  succeeded "it could not: the test proves nothing"
fi
attack "a report written over a table (report --txt Trains.db)"
before=$(hash_of "$tables/Trains.db")
said=$(as_op "$tool" report trains --db /opt/zolvelt/DB --txt "$tables/Trains.db" 2>&1)
status=$?
said=$(grep '^zolvelt-tool:' <<<"$said")
expect_unchanged "$tables/Trains.db" "$before" $status
echo "    it said: $said"
attack "a recording written over a table (simulate --raw Trains.db)"
as_op "$tool" simulate --wagons 2 --raw "$tables/Trains.db" >/dev/null 2>&1
expect_unchanged "$tables/Trains.db" "$before" $?
attack "a recording stored into the tables (replay --raw --db)"
as_op "$tool" simulate --wagons 2 --raw "$home/train.raw" >/dev/null 2>&1
as_op "$tool" replay --raw "$home/train.raw" --db /opt/zolvelt/DB >/dev/null 2>&1
expect_unchanged "$tables/Trains.db" "$before" $?
attack "templates written into the tables folder (templates --out)"
as_op "$tool" templates --out "$tables" >/dev/null 2>&1
status=$?
if [ -n "$(find "$tables" -name '*.ttb')" ]; then succeeded; else refused "exit $status"; fi

# ---------------------------------------------------------------- an upgrade
echo "attack test: an upgrade from the layout of earlier versions (group zolvelt, 2775/0664)"
for folder in "$config" "$tables" /var/opt/zolvelt/ZOL_arch; do
  chown root:zolvelt "$folder"
  chmod 2775 "$folder"
done
chown root:root /var/opt/zolvelt
chmod 0755 /var/opt/zolvelt
find "$config" "$tables" -type f -exec chgrp zolvelt {} + -exec chmod 0664 {} +
chown "$op" "$tables/Trains.db"
shadow=$(stat -c '%a %U:%G' /etc/shadow)
attack "a link to /etc/shadow planted in the tables while they were open"
as_op ln -s /etc/shadow "$tables/planted" 2>/dev/null
as_op ln "$tables/Trains.db" "$home/Trains-link.db" 2>/dev/null
sh /var/lib/dpkg/info/zolvelt.postinst configure
if [ "$(stat -c '%a %U:%G' /etc/shadow)" != "$shadow" ]; then succeeded "/etc/shadow is $(stat -c '%a %U:%G' /etc/shadow)"; else refused "postinst did not follow it"; fi
attack "a table reached through a hard link made while they were open"
before=$(hash_of "$tables/Trains.db")
if [ -e "$home/Trains-link.db" ]; then
  as_op chmod 0666 "$home/Trains-link.db" 2>/dev/null
  as_op sqlite3 "$home/Trains-link.db" "CREATE TABLE forged(x);" >/dev/null 2>&1
  expect_unchanged "$tables/Trains.db" "$before" $?
else
  refused "no link could be made"
fi
attack "anything left of the earlier layout"
left=$(find "$config" /var/opt/zolvelt ! -type l \( -perm /o=rwx -o ! -group zolvelt-rec -o ! -user root \) 2>/dev/null)
if [ -n "$left" ] || [ "$(stat -c '%a %U:%G' "$config/ZOLVelt.key")" != "640 root:zolvelt-rec" ]; then
  succeeded "$(echo $left)"
else
  refused "every folder 2770, every file root:zolvelt-rec, the key 0640"
fi

if ((failures)); then
  echo "attack test: $failures attack(s) succeeded" >&2
  exit 1
fi
echo "attack test: every attack was refused or had no effect"
