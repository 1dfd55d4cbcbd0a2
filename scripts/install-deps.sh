#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quick when all are present.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev
  libsqlite3-dev
  libssl-dev  # libcrypto: the keyed hashes that seal the weighing records
  libpq-dev postgresql openssl  # the central database: the client library, a server for the tests and its certificate
  libmicrohttpd-dev libsodium-dev libxlsxwriter-dev  # the office's view: HTTP, password hashes, spreadsheets
  chromium chromium-driver  # the office's pages tested in a real browser, headless (WebDriver)
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core poppler-utils
  qt6-translations-l10n  # Qt's own Russian texts for standard buttons and dialogs
  dpkg-dev file desktop-file-utils  # the Debian package: dpkg-shlibdeps, scripts/package-test.sh
  nginx openssl  # the office's package: its nginx site file tried with a throwaway certificate
  sqlite3  # scripts/attack-test.sh writes a table as an operator would
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
