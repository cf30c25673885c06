#!/usr/bin/env bash
# Install the Debian packages named on the command line, but only those that
# are not installed yet. Nothing is run (not even `apt-get update`) when every
# package is already present.
#
#   tools/install-deps.sh PACKAGE...
#
# Runs apt-get directly as root, through sudo otherwise. Safe without a
# terminal (CI, no stdin): apt-get runs non-interactively.
#
# With TOPPLETON_NO_APT=1, or on a system without apt-get, nothing is
# installed: the missing packages are only named (where dpkg can tell which
# they are), and the build that follows finds out whether what it needs is
# there.
set -euo pipefail

if [ "$#" -eq 0 ]; then
  echo "usage: $0 PACKAGE..." >&2
  exit 2
fi

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "install-deps: no dpkg here to check for the Debian packages: $*" >&2
  exit 0
fi

is_installed() {
  # Multi-arch packages may print one line per architecture; any fully
  # installed one will do. A package dpkg has never heard of is an error
  # from dpkg-query, which counts as "not installed".
  dpkg-query -W -f='${db:Status-Abbrev}\n' "$1" 2>/dev/null | grep -q '^ii'
}

missing=()
for pkg in "$@"; do
  if ! is_installed "$pkg"; then
    missing+=("$pkg")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "${TOPPLETON_NO_APT:-0}" = 1 ] || ! command -v apt-get >/dev/null 2>&1; then
  echo "install-deps: not installing the missing packages (TOPPLETON_NO_APT=1 or no apt-get): ${missing[*]}" >&2
  exit 0
fi

echo "install-deps: installing missing packages: ${missing[*]}" >&2

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: need root to install ${missing[*]}, and sudo is not available." >&2
  echo "install-deps: run as root: apt-get update && apt-get install ${missing[*]}" >&2
  exit 1
fi

apt_opts=(
  -y
  -o DPkg::Lock::Timeout=300
  -o Dpkg::Options::=--force-confdef
  -o Dpkg::Options::=--force-confold
)

# `env` carries DEBIAN_FRONTEND through sudo, which resets the environment.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get "${apt_opts[@]}" update </dev/null
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get "${apt_opts[@]}" install "${missing[@]}" </dev/null

still_missing=()
for pkg in "${missing[@]}"; do
  if ! is_installed "$pkg"; then
    still_missing+=("$pkg")
  fi
done
if [ "${#still_missing[@]}" -ne 0 ]; then
  echo "install-deps: still not installed after apt-get: ${still_missing[*]}" >&2
  exit 1
fi
