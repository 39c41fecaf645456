#!/bin/sh
# Installs the packages the build and the tests need, when they are missing.
# Uses apt-get when run as root; otherwise only reports what is missing.
set -eu

packages="cmake g++ make libgtest-dev chromium clang libclang-rt-14-dev clang-tidy clang-format time"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
else
    echo "missing packages:$missing (run as root, or install them with apt-get)" >&2
    exit 1
fi
