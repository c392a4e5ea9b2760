#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (skips what is there).
set -euo pipefail
pkgs=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev
      qt6-webengine-dev qt6-httpserver-dev qt6-websockets-dev libssl-dev libsqlite3-dev
      libplist-dev libarchive-dev libcurl4-openssl-dev fonts-noto-cjk libgtest-dev libgmock-dev libbenchmark-dev openssl
      libqt6svg6 qt6-image-formats-plugins
      xvfb xdotool) # a real X display and real input for tests/display
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
