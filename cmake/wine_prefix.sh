#!/bin/sh
# Readies the build's Wine prefix (WINEPREFIX) for the tests and keeps its Wine server and Wine's own services
# running between them. Services that a test started would hold that test's output open until they quit, and
# a test would wait seconds for them.
# Usage: wine_prefix.sh WINE WINESERVER LOG, with WINEPREFIX and the other Wine settings in the environment.
set -u
wine=$1 wineserver=$2 log=$3
mkdir -p "$WINEPREFIX" || exit 1
# A server left from an earlier run keeps serving (this start then fails, harmlessly); a new one stays ten
# seconds after the last program, long enough to bridge the gaps between tests.
"$wineserver" -p10 2>/dev/null
# The services that wineboot starts write to the log, so nothing holds this test's output open.
if ! "$wine" wineboot --init >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
