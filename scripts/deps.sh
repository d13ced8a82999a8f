#!/usr/bin/env bash
# Installs the Debian 12 packages Versweep builds and tests with; does nothing when all are present.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libicu-dev libglib2.0-dev qt6-base-dev qt6-l10n-tools qt6-translations-l10n
    libcli11-dev nlohmann-json3-dev
    clang-format clang-tidy xvfb xauth
    fonts-wqy-microhei trash-cli e2fsprogs qt6-gtk-platformtheme
    clang libclang-rt-14-dev llvm
    dpkg-dev file desktop-file-utils appstream
    g++-mingw-w64-x86-64-posix wine64 googletest
)

missing=()
for package in "${packages[@]}"; do
    # Compared whole, not piped into "grep -q": under pipefail a writer cut off by an early grep fails the test.
    if [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" != "install ok installed" ]; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "deps: installing ${missing[*]}" >&2
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
