#!/bin/sh
# Runs a Windows program under wine: the emulator of a tree configured with
# cmake/mingw-w64.cmake, through which the build and ctest start the test programs.
#
#   wine-run.sh PREFIX PROGRAM [ARGUMENT...]
#
# PREFIX is the tree's private wine prefix. Console programs need no display; WINEDEBUG=-all
# keeps wine's own diagnostics out of the programs' output, and the empty DLL overrides stop
# a first start from offering to install the .NET and HTML runtimes, which nothing here uses.
set -e
WINEPREFIX=${1:?usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]}
shift
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One wine server serves every run and stays 30 seconds after the last one ends, instead of
# starting anew for each test program (Debian's starts it to end with its last client, and a
# start is a second or more). Whoever starts it also starts, with no streams of the caller,
# the services that wine runs beside it: they live as long as the server, and would otherwise
# hold the first program's standard error open, so that whoever reads it (ctest, the build's
# test discovery) waits for them. The lock keeps a second run from starting them meanwhile.
exec 9>"$WINEPREFIX.lock"
flock 9
if wineserver -p30 </dev/null >/dev/null 2>&1; then
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi
flock -u 9
exec 9>&-
exec wine "$@"
