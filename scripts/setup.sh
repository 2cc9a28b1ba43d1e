#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Non-interactive and idempotent: when everything is present it only asks dpkg.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libudev-dev udev
  qt6-base-dev qt6-base-dev-tools fonts-noto-cjk
  libreoffice-calc libreoffice-dev
  gnuplot-nox python3-pandas
  librsvg2-bin man-db desktop-file-utils appstream dpkg-dev lintian
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
