#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Quick when everything is there: it asks dpkg first and runs apt-get only for the rest.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config ccache python3
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev sqlite3 liblhasa-dev
  libicu-dev libpng-dev libfreetype-dev libfontconfig-dev
  fonts-dejavu-core fonts-wqy-microhei
  clang libclang-rt-14-dev
  libx11-dev libxfixes-dev libxext-dev xvfb xdotool x11-utils xclip x11-apps
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
