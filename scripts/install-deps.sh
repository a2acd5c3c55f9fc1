#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Orvane need.
# Only missing packages are installed; run as root (or with sudo available).
# --bench adds what the server benchmarks need.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git clang-format util-linux
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libqt6sql6-sqlite libqt6dbus6 qt6-positioning-dev qt6-networkauth-dev qt6-qpa-plugins libgl-dev
    libcpp-httplib-dev libboost-dev portaudio19-dev libsndfile1-dev libical-dev
    libbenchmark-dev fonts-dejavu-core
    khal xmltv-util python3 dbus
    # Past one machine: PostgreSQL, Redis and nginx (scripts/cluster.sh and its tests). The
    # tests and the cluster run private instances on their own ports; the packages' own
    # services are not used.
    libqt6sql6-psql libhiredis-dev postgresql redis-server nginx-light
)
# The benchmarks measure the servers with wrk.
if [ "${1:-}" = "--bench" ]; then
    packages+=(wrk curl)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# PostgreSQL, Redis and nginx would start system services of their own (nginx on port 80):
# the project runs private instances, so their services are not started while installing.
services=()
others=()
for p in "${missing[@]}"; do
    case "$p" in
    postgresql | redis-server | nginx-light) services+=("$p") ;;
    *) others+=("$p") ;;
    esac
done
if [ ${#others[@]} -gt 0 ]; then
    $SUDO apt-get install -y -qq --no-install-recommends "${others[@]}"
fi
if [ ${#services[@]} -gt 0 ]; then
    policy=/usr/sbin/policy-rc.d
    placed=""
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
        $SUDO chmod +x "$policy"
        placed=1
    fi
    status=0
    $SUDO apt-get install -y -qq --no-install-recommends "${services[@]}" || status=$?
    if [ -n "$placed" ]; then
        $SUDO rm -f "$policy"
    fi
    exit $status
fi
