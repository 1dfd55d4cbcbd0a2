#!/usr/bin/env bash
# Builds the office's package (scripts/office-package) and checks what it holds: the files
# and their modes, the control fields, the maintainer scripts, the systemd unit and the
# nginx site file. As root it then installs the package, checks its system user and the
# owners of its files, runs the program as that user and purges the package again.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ZOLVELT_BUILD_DIR:-build/package}
bash scripts/office-package >/dev/null
debs=("$build"/zolvelt-office_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one office package, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
echo "Checking $deb"

source scripts/package-checks.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# ---------------------------------------------------------------- contents
listing=$(deb_listing "$deb")
expect_entry -rwxr-xr-x /usr/bin/zolvelt-office
expect_entry -rw-r--r-- /lib/systemd/system/zolvelt-office.service
expect_entry -rw-r--r-- /usr/share/zolvelt-office/nginx-zolvelt-office
expect_entry -rw-r--r-- /etc/zolvelt-office/office.conf
# Nothing else but the folders on their way, nothing writable by others, all root's.
unexpected=$(grep -vE '^d[rwx-]{9} /((usr|usr/bin|usr/share|usr/share/zolvelt-office|lib|lib/systemd|lib/systemd/system|etc|etc/zolvelt-office)/)?$' <<<"$listing" |
  grep -vE '^-[rwx-]{9} /(usr/bin/zolvelt-office|lib/systemd/system/zolvelt-office\.service|usr/share/zolvelt-office/nginx-zolvelt-office|etc/zolvelt-office/office\.conf)$' || true)
[ -z "$unexpected" ] || fail "unexpected entries:"$'\n'"$unexpected"
expect_root_only "$deb"

# ---------------------------------------------------------------- control fields
expect_control_fields "$deb" zolvelt-office
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The package of every library the program links directly, as this machine resolves it.
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
exe=$root/usr/bin/zolvelt-office
libraries=$(ldd "$exe")
missing=$(grep 'not found' <<<"$libraries" || true)
[ -z "$missing" ] || fail "the program links libraries that are not there: $missing"
needed=$(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf finds no libraries the program needs"
for soname in $needed; do
  path=$(awk -v n="$soname" '$1 == n { print $3 }' <<<"$libraries")
  package=$(dpkg -S "$(realpath "$path")" 2>/dev/null | head -1 | cut -d: -f1 || true)
  [ -n "$package" ] || package=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1 || true)
  [ -n "$package" ] || { fail "no package holds $soname ($path)"; continue; }
  grep -qE "(^|, )${package//+/\\+}( \(|,|\$)" <<<"$depends" || fail "Depends does not name $package (for $soname)"
done
grep -qE '(^|, )adduser(,|$)' <<<"$depends" || fail "Depends does not name adduser (postinst)"
[ "$(dpkg-deb -I "$deb" conffiles 2>/dev/null)" = /etc/zolvelt-office/office.conf ] || fail "office.conf is not the one conffile"

# ---------------------------------------------------------------- maintainer scripts
dpkg-deb -e "$deb" "$scratch/DEBIAN"
expect_maintainer_scripts "$scratch/DEBIAN" postinst postrm

# ---------------------------------------------------------------- the unit and the site file
if command -v systemd-analyze >/dev/null; then
  # Against the unpacked program, which is not installed yet; any complaint counts.
  sed "s|/usr/bin/zolvelt-office|$exe|" "$root/lib/systemd/system/zolvelt-office.service" >"$scratch/zolvelt-office.service"
  complaints=$(systemd-analyze verify "$scratch/zolvelt-office.service" 2>&1) || fail "systemd-analyze verify failed"
  [ -z "$complaints" ] || fail "systemd-analyze verify says: $complaints"
else
  echo "systemd-analyze not found: the unit is not verified"
fi
if command -v nginx >/dev/null; then
  # The site file in a scratch nginx of its own, with a throwaway certificate for its paths.
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj /CN=office.example \
    -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
  sed -e "s|/etc/ssl/certs/zolvelt-office.pem|$scratch/cert.pem|; s|/etc/ssl/private/zolvelt-office.key|$scratch/key.pem|" \
    "$root/usr/share/zolvelt-office/nginx-zolvelt-office" >"$scratch/site"
  printf 'pid %s/nginx.pid;\nerror_log stderr;\nevents {}\nhttp {\n    include %s/site;\n}\n' "$scratch" "$scratch" >"$scratch/nginx.conf"
  nginx -t -q -e stderr -p "$scratch" -c "$scratch/nginx.conf" || fail "nginx does not accept the site file"
else
  echo "nginx not found: the site file is not checked"
fi

# ---------------------------------------------------------------- installed
if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: the package is not installed, its user and owners are not checked"
elif ((failures)); then
  echo "The package failed the checks above: it is not installed on this machine"
elif dpkg-query -W -f='${Status}' zolvelt-office 2>/dev/null | grep -q 'install ok installed'; then
  fail "zolvelt-office is installed on this machine already: not touched"
else
  trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -q zolvelt-office >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$(realpath "$deb")" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log" >&2; fail "apt-get install failed"; }
  IFS=: read -r _ _ uid gid _ home shell <<<"$(getent passwd zolvelt-office || true)"
  [ -n "${uid:-}" ] || fail "no system user zolvelt-office"
  if [ -n "${uid:-}" ]; then
    first_user=$(awk '$1 == "FIRST_UID" { print $2 }' /etc/adduser.conf 2>/dev/null || true)
    ((uid < ${first_user:-1000})) || fail "zolvelt-office is not a system user (uid $uid)"
    [ "$(getent group zolvelt-office | cut -d: -f3)" = "$gid" ] || fail "zolvelt-office's group is not its own"
    [ "$home" = /nonexistent ] || fail "zolvelt-office's home is $home"
    [[ "$shell" == */nologin || "$shell" == /bin/false ]] || fail "zolvelt-office may log in ($shell)"
  fi
  owner() { stat -c '%U:%G %a' "$1" 2>/dev/null || echo "missing"; }
  [ "$(owner /etc/zolvelt-office)" = "root:zolvelt-office 750" ] || fail "/etc/zolvelt-office is $(owner /etc/zolvelt-office)"
  [ "$(owner /etc/zolvelt-office/office.conf)" = "root:root 644" ] || fail "office.conf is $(owner /etc/zolvelt-office/office.conf)"
  [ "$(owner /usr/bin/zolvelt-office)" = "root:root 755" ] || fail "the program is $(owner /usr/bin/zolvelt-office)"
  help=$(runuser -u zolvelt-office -- /usr/bin/zolvelt-office --help 2>&1) || fail "zolvelt-office --help failed as its user: $help"
  grep -q 'zolvelt-office serve' <<<"$help" || fail "--help does not tell about serve: $help"
  # The settings folder is the user's to read, not to write.
  runuser -u zolvelt-office -- cat /etc/zolvelt-office/office.conf >/dev/null || fail "the user cannot read its settings"
  ! runuser -u zolvelt-office -- touch /etc/zolvelt-office/x 2>/dev/null || fail "the user may write into its settings folder"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q zolvelt-office >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log" >&2; fail "apt-get purge failed"; }
  for gone in /usr/bin/zolvelt-office /lib/systemd/system/zolvelt-office.service /usr/share/zolvelt-office /etc/zolvelt-office; do
    [ ! -e "$gone" ] || fail "$gone is left after purge"
  done
  if dpkg-query -W zolvelt-office >/dev/null 2>&1; then
    fail "zolvelt-office is still known to dpkg after purge: remove it with dpkg --purge zolvelt-office"
  fi
  echo "Installed, run as zolvelt-office (uid ${uid:-none}) and purged"
fi

package_verdict "office package test" "$deb"
