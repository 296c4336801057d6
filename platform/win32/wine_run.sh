#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix (KORVEL_WINEPREFIX, prepared by
# scripts/test-windows.sh), quietly.
set -eu
export WINEPREFIX="${KORVEL_WINEPREFIX:?KORVEL_WINEPREFIX is not set}"
export WINEDEBUG=-all
exec wine "$@"
