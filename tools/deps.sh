#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# Idempotent; run as root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq \
  build-essential cmake googletest libgtest-dev libgmock-dev \
  libsqlite3-dev sqlite3 libicu-dev libjpeg62-turbo-dev zlib1g-dev \
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n libqt6sql6-sqlite \
  zip unzip p7zip-full python3 xdg-utils libreoffice-writer \
  libxcb1-dev xvfb xauth x11-utils libx11-dev imagemagick fonts-wqy-microhei \
  openbox tint2 xdotool dbus-x11 ibus ibus-libpinyin \
  clang libclang-rt-14-dev >/dev/null
