#!/bin/sh
# Checks on the Linux side what trash_win_test moved under Wine: trash-list, as a desktop's trash shows it, must
# list every entry the test wrote down (HOME/expected, one original path a line) under that path.
# Usage: trash_win_listed.sh HOME, where HOME/data was the test's XDG_DATA_HOME.
set -eu
if ! command -v trash-list >/dev/null 2>&1; then
    echo "trash-list (Debian package trash-cli) is not installed"
    exit 77
fi
if [ ! -s "$1/expected" ]; then
    echo "trash_win_test wrote down no entry it moved" >&2
    exit 1
fi
listed=$(XDG_DATA_HOME=$1/data trash-list | cut -d' ' -f3-)
status=0
while IFS= read -r path; do
    if ! printf '%s\n' "$listed" | grep -Fqx -- "$path"; then
        echo "trash-list does not show $path; it shows:" >&2
        printf '%s\n' "$listed" >&2
        status=1
    fi
done <"$1/expected"
exit $status
