#!/bin/sh
# Makes, on the Linux side, entries that a Windows test under Wine cannot make itself: names that differ only in
# case, a link to a folder, and names Windows cannot spell (a '?', bytes that are not UTF-8).
# Usage: linux_made_entries.sh FOLDER (made afresh)
set -eu
rm -rf "$1"
mkdir -p "$1/case/Foo.v1-A" "$1/case/foo.v1-A" "$1/links/target" "$1/odd/what?.v1-A" "$1/odd/$(printf 'bad\377.v1-A')"
head -c 10 /dev/zero >"$1/case/Foo.v1-A/payload"
head -c 20 /dev/zero >"$1/case/foo.v1-A/payload"
head -c 300 /dev/zero >"$1/links/target/payload"
ln -s target "$1/links/folder-link"
