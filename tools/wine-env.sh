# Wine and X environment for running ketterlin.exe on Linux; sourced by scripts (bash).
#
#   source tools/wine-env.sh
#   kt_wine_prefix DIR     # 32-bit prefix in DIR, made once (about 9 s) and reused afterwards
#   kt_xvfb_start          # private Xvfb on a free display; exports DISPLAY and KT_XVFB_PID
#   ... wine app.exe ...
#   kt_wine_cleanup        # stops that prefix's wineserver and the Xvfb started here, nothing else
#
# The prefix gets Debian's Wine TrueType fonts copied in: this Wine does not look in its own font
# folder, and without them dialog units are measured with a substitute font.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
# No Mono or Gecko installer dialogs during wineboot; the viewer needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}

kt_font_dirs=(/usr/share/fonts/truetype/wine /usr/share/wine/fonts)

kt_wine_prefix() {
    local dir=$1
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX
    WINEPREFIX=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
    # Several test processes may ask for the same prefix at once: one makes it, the others wait.
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.ketterlin-ready" ]; then
            rm -rf "$WINEPREFIX"
            # wineboot needs no display; keep it away from whatever DISPLAY the caller has.
            if ! DISPLAY= wineboot -i >/dev/null 2>&1; then
                echo "wine-env: wineboot failed for $WINEPREFIX" >&2
                exit 1
            fi
            wineserver -w
            local fonts="$WINEPREFIX/drive_c/windows/Fonts" d
            mkdir -p "$fonts"
            for d in "${kt_font_dirs[@]}"; do
                [ -d "$d" ] && find "$d" -maxdepth 1 -iname '*.ttf' -exec cp -f {} "$fonts/" \;
            done
            touch "$WINEPREFIX/.ketterlin-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Lets no window manager handle the prefix's top-level windows. On a bare Xvfb there is none, and
# Wine would wait two seconds for it each time a top-level window (a message box, the main window)
# is hidden. Meant for the test prefix only: on a desktop with a window manager windows would lose
# their frames.
kt_wine_unmanaged() {
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.ketterlin-unmanaged" ]; then
            DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
                >/dev/null 2>&1 || { echo "wine-env: cannot set Managed=N" >&2; exit 1; }
            wineserver -w
            touch "$WINEPREFIX/.ketterlin-unmanaged"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on the first free display (Xvfb picks it itself with -displayfd, so two runs never
# race for a number) and waits until it accepts clients.
kt_xvfb_start() {
    local geometry=${1:-1280x1024x24}
    local numberFile
    numberFile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 "$geometry" -nolisten tcp -noreset 9>"$numberFile" \
        >/dev/null 2>&1 &
    KT_XVFB_PID=$!
    export KT_XVFB_PID
    local i
    for i in $(seq 1 200); do
        if [ -s "$numberFile" ]; then break; fi
        if ! kill -0 "$KT_XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.05
    done
    if [ ! -s "$numberFile" ]; then
        echo "wine-env: Xvfb did not start" >&2
        rm -f "$numberFile"
        kt_xvfb_stop
        return 1
    fi
    export DISPLAY=":$(tr -dc '0-9' <"$numberFile")"
    rm -f "$numberFile"
}

kt_xvfb_stop() {
    if [ -n "${KT_XVFB_PID:-}" ]; then
        kill "$KT_XVFB_PID" 2>/dev/null || true
        wait "$KT_XVFB_PID" 2>/dev/null || true
        KT_XVFB_PID=
    fi
}

# Ends every Windows process of this prefix (wineserver -k acts on $WINEPREFIX alone) and the
# Xvfb that kt_xvfb_start started.
kt_wine_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
    fi
    kt_xvfb_stop
}

# Unix path to the path a Windows program of the prefix sees (drive Z: is the Unix root).
kt_winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}
