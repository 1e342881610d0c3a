# Shared by the Wine scripts: where the prefixes live and how one is made ready.
# shellcheck shell=bash

wine_root() {
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    echo "${SETUP_WINE_ROOT:-$here/build/windows/wine}"
}

# Creates the prefix once (serialised with a lock, as several tests may ask at once).
wine_prefix_create() {
    local kind=$1 prefix
    prefix="$(wine_root)/$kind"
    mkdir -p "$(wine_root)"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            echo "wine: creating the $kind prefix in $prefix (once)" >&2
            if [ "$kind" = win32 ]; then
                WINEARCH=win32 WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
            else
                WINEARCH=win64 WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
            fi
            # Without a window manager (Xvfb) Wine draws the frames itself when its
            # windows are unmanaged: captions and close boxes become visible.
            WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' \
                /v Managed /d N /f >/dev/null 2>&1
            WINEPREFIX="$prefix" wineserver -w
        fi
    ) 9>"$(wine_root)/.lock-$kind"
}

wine_env_prepare() {
    local kind=${SETUP_WINE_PREFIX:-win64}
    case "$kind" in win32 | win64) ;; *)
        echo "wine-run: unknown prefix kind '$kind'" >&2
        exit 2
        ;;
    esac
    wine_prefix_create "$kind"
    export WINEPREFIX
    WINEPREFIX="$(wine_root)/$kind"
    [ "$kind" = win32 ] && export WINEARCH=win32
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    if [ -z "${DISPLAY:-}" ]; then
        local display_file="$(wine_root)/display-$kind"
        [ -f "$display_file" ] || display_file="$(wine_root)/display"
        if [ ! -f "$display_file" ]; then
            echo "wine-run: no display: set DISPLAY or run 'tools/wine-session start'" >&2
            exit 2
        fi
        export DISPLAY
        DISPLAY=$(cat "$display_file")
    fi
    return 0
}
