#!/usr/bin/env bash
# Runs a command (a Wine runner and a Windows program) with WINEPREFIX set to a
# Wine prefix of its own that reports Windows 2000, created on first use, and
# with KWZ_EXPECT_WINDOWS_2000 set for the program.
#
#   run_in_windows_2000_prefix.sh RUNNER PROGRAM [ARGS...]
set -eu
prefix="${KWZ_WINEPREFIX:-$HOME/.cache/kwz-wine}-win2k"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [ ! -f "$prefix/.kwz-win2k" ]; then
  mkdir -p "$prefix"
  # One caller sets the prefix up; any other waits for it.
  (
    flock 9
    if [ ! -f "$prefix/.kwz-win2k" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # The version Wine reports to every program of the prefix.
      wine reg add 'HKEY_CURRENT_USER\Software\Wine' /v Version /t REG_SZ /d win2k /f >/dev/null 2>&1
      wineserver -w || true
      touch "$prefix/.kwz-ready" "$prefix/.kwz-win2k"
    fi
  ) 9>"$prefix.lock"
fi
export KWZ_EXPECT_WINDOWS_2000=1
exec "$@"
