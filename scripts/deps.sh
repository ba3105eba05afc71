#!/usr/bin/env bash
# Installs the Debian packages that building and testing Twinlens need, when
# they are missing. Usage: scripts/deps.sh build|test|bench|package|fuzz
set -euo pipefail
what=${1:-build}
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libssl-dev libxxhash-dev libcurl4-openssl-dev)
case "$what" in
  # The update tests make certificates; the file manager test runs its own
  # bus; the install test validates the desktop entry, the metainfo and the
  # manual pages.
  test)  pkgs+=(openssl dbus-daemon desktop-file-utils appstream groff-base gzip binutils) ;;
  package) pkgs+=(dpkg-dev file gzip) ;; # cpack reads the dependencies with dpkg-shlibdeps
  bench) pkgs+=(jdupes rmlint fdupes rdfind hyperfine time python3) ;;
  fuzz)  pkgs+=(clang libclang-rt-dev) ;; # libFuzzer and the sanitizers' run-time
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
