#!/bin/sh
# Installs what building, running and testing need on Debian 12.
set -e
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  g++ cmake ninja-build libgtest-dev libgmock-dev libncurses-dev \
  libpugixml-dev libcurl4-openssl-dev python3 python3-dbfread python3-aiosmtpd tmux p7zip-full libxml2-utils cups-client >/dev/null
