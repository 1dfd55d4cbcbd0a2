# Checks shared by the package tests; sourced, not run. A check that fails says so and is
# counted in $failures; the test ends with package_verdict.

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The entries of a package, one a line: "mode path[ -> target]".
deb_listing() {
  dpkg-deb -c "$1" | awk '{ $2 = $3 = $4 = $5 = ""; print }' | sed -E 's/ +/ /g; s| \./| /|'
}

# An entry of the listing in $listing: its type and permissions as `ls -l` shows them (a
# pattern) and its path.
expect_entry() {
  local mode=$1 path=$2
  grep -qE "^${mode} ${path//./\\.}\$" <<<"$listing" || fail "no ${path} with mode ${mode}"
}

# Nothing in the package is writable by anyone but root, and everything belongs to root.
expect_root_only() {
  local deb=$1 writable owners
  writable=$(grep -E '^[-d].{4}w|^[-d].{7}w' <<<"$listing" || true)
  [ -z "$writable" ] || fail "entries writable by others than root:"$'\n'"$writable"
  owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
  [ -z "$owners" ] || fail "entries not owned by root:"$'\n'"$owners"
}

# The control fields every package has: its name, a version, this machine's architecture and
# a maintainer.
expect_control_fields() {
  local deb=$1 name=$2 value
  value=$(dpkg-deb -f "$deb" Package)
  [ "$value" = "$name" ] || fail "Package is '$value'"
  [ -n "$(dpkg-deb -f "$deb" Version)" ] || fail "no Version"
  value=$(dpkg-deb -f "$deb" Architecture)
  [ "$value" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$value'"
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
}

# The maintainer scripts, unpacked into the folder: each there, executable and valid sh.
expect_maintainer_scripts() {
  local folder=$1 script
  shift
  for script in "$@"; do
    [ -x "$folder/$script" ] || fail "$script is not executable"
    [ "$(head -1 "$folder/$script")" = '#!/bin/sh' ] || fail "$script does not start with #!/bin/sh"
    sh -n "$folder/$script" || fail "$script is not valid sh"
  done
}

package_verdict() {
  local name=$1 deb=$2
  if ((failures)); then
    echo "$name: $failures failure(s)" >&2
    exit 1
  fi
  echo "$name: $deb passed"
}
