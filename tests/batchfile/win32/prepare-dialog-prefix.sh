#!/bin/sh
# The Wine prefix of the dialog window tests (WINEPREFIX): Xvfb has no window manager,
# so Wine is told to draw window captions and frames itself. Creating the prefix skips
# the Mono and Gecko installers, which would wait for an answer.
set -e
export WINEDLLOVERRIDES="mscoree,mshtml="
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
