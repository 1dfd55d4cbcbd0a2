#!/usr/bin/env bash
# Builds the Debian package from a Release build in build/package and checks what it holds:
# the files and links under the right paths, the control fields and the maintainer scripts.
# It installs nothing on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOLVELT_TESTS=OFF
cmake --build "$build" -j2
rm -f "$build"/zolvelt_*.deb
(cd "$build" && cpack -G DEB)

debs=("$build"/zolvelt_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one package, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
echo "Checking $deb"
source scripts/package-checks.sh

# ---------------------------------------------------------------- contents
listing=$(deb_listing "$deb")
executable='-rwxr-xr-x'
file='-rw-r--r--'
expect_entry "$executable" /opt/zolvelt/zolvelt
expect_entry "$executable" /opt/zolvelt/zolvelt-tool
templates=$(cd "$build/src/app" && ls -- *.ttb)
[ -n "$templates" ] || fail "the build wrote no table templates"
for t in $(printf '%s\n' n.ttb t.ttb w.ttb b.ttb $templates | sort -u); do
  expect_entry "$file" "/opt/zolvelt/$t"
done
for page in help/*; do expect_entry "$file" "/opt/zolvelt/help/${page#help/}"; done
expect_entry "$file" /usr/share/applications/zolvelt.desktop
expect_entry "$file" /usr/share/icons/hicolor/scalable/apps/zolvelt.svg
expect_entry "$file" /usr/share/icons/hicolor/256x256/apps/zolvelt.png
# What the program writes lies outside its folder, which stays root's.
expect_entry 'l[rwx]{9}' '/opt/zolvelt/ZOLVelt.ini -> /etc/opt/zolvelt/ZOLVelt.ini'
expect_entry 'l[rwx]{9}' '/opt/zolvelt/DB -> /var/opt/zolvelt/DB'
expect_entry 'l[rwx]{9}' '/opt/zolvelt/ZOL_arch -> /var/opt/zolvelt/ZOL_arch'

# Nothing else: every entry is one of the above or a folder on their way, nothing is
# writable by anyone but root, and everything belongs to root.
unexpected=$(grep -vE '^d[rwx-]{9} /((opt|usr)/.*)?$' <<<"$listing" |
  grep -vE '^[-l][rwx-]{9} /(opt/zolvelt/|usr/share/applications/zolvelt\.desktop$|usr/share/icons/hicolor/[^/]+/apps/zolvelt\.)' || true)
[ -z "$unexpected" ] || fail "unexpected entries:"$'\n'"$unexpected"
expect_root_only "$deb"

# ---------------------------------------------------------------- control fields
expect_control_fields "$deb" zolvelt
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The runtime packages of the libraries the program links, found by dpkg-shlibdeps; the
# package of Qt's xcb platform plugin (libqt6gui6 in Debian 12); the reports' font and
# addgroup for postinst; Qt's Russian translations.
xcb=$(dpkg -S '*/qt6/plugins/platforms/libqxcb.so' | cut -d: -f1)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6printsupport6 \
         libsqlite3-0 libpq5 libstdc++6 libc6 "$xcb" fonts-dejavu-core qt6-translations-l10n adduser; do
  grep -qE "(^|, )${p//+/\\+}( \(|,|\$)" <<<"$depends" || fail "Depends does not name $p"
done

# ---------------------------------------------------------------- maintainer scripts
info=$(dpkg-deb -I "$deb")
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
dpkg-deb -e "$deb" "$control/DEBIAN"
for script in postinst postrm; do
  grep -qE "^ +[0-9]+ bytes, +[0-9]+ lines +\* +${script} +#!/bin/sh" <<<"$info" ||
    fail "dpkg-deb -I lists no executable $script"
done
expect_maintainer_scripts "$control/DEBIAN" postinst postrm
grep -q 'addgroup --system' "$control/DEBIAN/postinst" || fail "postinst makes no group"
grep -q '^group=zolvelt-rec$' "$control/DEBIAN/postinst" || fail "postinst gives the records to another group than zolvelt-rec"
grep -q 'chmod 640 "$config/ZOLVelt.key"' "$control/DEBIAN/postinst" || fail "postinst makes no seal key for the records group only"
grep -q 'dpkg-statoverride --update --add root "$group" 2755' "$control/DEBIAN/postinst" ||
  fail "postinst does not make the programs set-group-ID to the records group"
# The key postinst makes: 64 hexadecimal digits, as the program reads it.
key=$(sed -n '/umask 077/,/^ *)$/p' "$control/DEBIAN/postinst" | grep 'od -An' | sed 's/ *>.*//' | sh)
[[ "$key" =~ ^[0-9a-f]{64}$ ]] || fail "postinst's key is not 64 hexadecimal digits: $key"

# ---------------------------------------------------------------- the files themselves
root="$control/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/zolvelt.desktop" || fail "the desktop entry is not valid"
for exe in zolvelt zolvelt-tool; do
  missing=$(ldd "$root/opt/zolvelt/$exe" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$exe links libraries that are not there: $missing"
done
diff -r help "$root/opt/zolvelt/help" >/dev/null || fail "the help pages differ from help/"

package_verdict "package test" "$deb"
