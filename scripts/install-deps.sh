#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only when one is missing,
# so that a second `make` on a ready machine does not touch apt at all.
# help2man writes tovasel-cli's manual page and dpkg-dev works out the Debian
# package's dependencies and hardening flags; the last line's tools check the
# desktop metadata and manual pages in the tests. `install-deps.sh
# package-check` adds lintian, which scripts/check-package.sh runs.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libgif-dev libjpeg-dev libspng-dev
  fonts-dejavu-core
  qt6-base-dev libgl-dev
  help2man dpkg-dev
  desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db
  qt6-translations-l10n
)
if [ "${1:-}" = package-check ]; then
  packages+=(lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
