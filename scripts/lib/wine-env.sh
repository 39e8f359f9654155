# Sourced with an architecture, win32 or win64: the build's own quiet Wine prefix for it, kept apart from the
# user's ~/.wine, and the loader that runs its programs in $WINE. Debian's `wine` wrapper takes the 32-bit
# loader whenever it is installed, so both loaders are named directly.
# TUNEWRIGHT_WINE_USE=tests selects the tests' own prefixes (build/wineprefix-tests, build/wineprefix64-tests):
# what the tests register and write into the registry never reaches the prefix that scripts/run uses. Another
# value names another prefix of the tests' (a test with a display of its own needs a Wine server of its own).
TUNEWRIGHT_ROOT=${TUNEWRIGHT_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
case "${1:-win64}" in
  win32)
    export WINEPREFIX="$TUNEWRIGHT_ROOT/build/wineprefix"
    export WINEARCH=win32
    export WINELOADER=/usr/lib/wine/wine ;;
  win64)
    export WINEPREFIX="$TUNEWRIGHT_ROOT/build/wineprefix64"
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64 ;;
  *) echo "wine-env: unknown architecture '$1' (win32 or win64)" >&2; return 2 ;;
esac
[ -n "${TUNEWRIGHT_WINE_USE:-}" ] && WINEPREFIX="$WINEPREFIX-$TUNEWRIGHT_WINE_USE"
# A test that needs a prefix nothing else has touched (an installation, a first start) names its own.
[ -n "${TUNEWRIGHT_WINEPREFIX:-}" ] && WINEPREFIX=$TUNEWRIGHT_WINEPREFIX
WINE=$WINELOADER
export WINEDEBUG=${WINEDEBUG:--all}
# No install dialogs for Wine's Mono and Gecko; no Linux menu entries for the shortcuts an installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
# A HOME of its own, whose .asoundrc gives ALSA a null device: playback works without a sound card.
export HOME="$TUNEWRIGHT_ROOT/build/winehome"
