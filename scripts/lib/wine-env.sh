# Sourced: the build's own quiet 32-bit Wine prefix, kept apart from the user's ~/.wine.
TUNEWRIGHT_ROOT=${TUNEWRIGHT_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX="$TUNEWRIGHT_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No install dialogs for Wine's Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml=d"
# A HOME of its own, whose .asoundrc gives ALSA a null device: playback works without a sound card.
export HOME="$TUNEWRIGHT_ROOT/build/winehome"
