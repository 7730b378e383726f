#!/bin/sh
# Builds qv2012v and starts it on a ready default folder ($HOME/qv2012).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)" --target qv2012v qvmigrate qvprint
: "${DQV2012:=$HOME/qv2012}"
mkdir -p "$DQV2012"
cp build/qv2012v build/qvmigrate build/qvprint "$DQV2012/"
# The reference lists from which the code tables are built on first use.
mkdir -p "$DQV2012/data"
cp data/*.csv "$DQV2012/data/"
cd "$DQV2012"
DQV2012="$DQV2012/" exec ./qv2012v "$@"
