#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail
PKGS=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-multimedia-dev
  libsqlcipher-dev libcurl4-openssl-dev libgtest-dev
  python3 python3-pyftpdlib
  xvfb xauth fonts-dejavu-core
  chromium
  openbox qt6-qpa-plugins
  qt6-translations-l10n         # Qt's own texts (file dialogs, box buttons) in the user's language
  exfatprogs exfat-fuse         # tests: an exFAT disk, whose files cannot have a second name
)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt_install() { $SUDO apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 "${missing[@]}" </dev/null; }
  apt_install || { $SUDO apt-get update && apt_install; }
fi
