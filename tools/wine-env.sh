# Wine and X environment for running Ketterlin's Windows programs on Linux; sourced by scripts
# (bash). This is the one place that decides which Windows build the host runs and which Wine
# loader runs a given program.
#
#   source tools/wine-env.sh
#   kt_windows_build       # prints win32 or win64: the build this host runs (see below)
#   kt_windows_build_dir TOP BUILD   # the cross build folder of that build under TOP/build
#   kt_wine_use BUILD      # selects the Wine loader and server for win32 or win64 programs
#   kt_wine_use_for EXE    # the same, for the build that EXE was made for (its PE machine field)
#   kt_wine_prefix DIR     # prefix in DIR for the selected build, made once and reused
#   kt_xvfb_start          # private Xvfb on a free display; exports DISPLAY and KT_XVFB_PID
#   ... wine app.exe ...   # `wine`, `wineboot` and `wineserver` below call the selected loader
#   kt_wine_cleanup        # stops that prefix's wineserver and the Xvfb started here, nothing else
#
# Which build: the 32-bit program is the product and runs wherever the kernel executes i386
# code; some kernels refuse every i386 binary ("Exec format error"), and Debian's 32-bit Wine
# loader with them, so there the 64-bit program runs under the 64-bit loader. The host is tested
# by really executing a tiny i386 program, once per process tree (the answer is exported).
# KETTERLIN_WINDOWS_BUILD=win32|win64 overrides the choice, so the 64-bit road can be tried on any
# host.
#
# Each prefix gets Debian's Wine TrueType fonts copied in: this Wine does not look in its own font
# folder, and without them dialog units are measured with a substitute font.

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs during wineboot; the viewer needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}

kt_wine_dir=/usr/lib/wine

# A complete i386 ELF program of 93 bytes that only calls exit(0): one program header loading the
# file at 0x08048000, entry just behind the headers, then mov eax,1; xor ebx,ebx; int 0x80.
kt_i386_probe_bytes='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'

# Exit 0 when this kernel executes i386 programs. The probe is written beside this script's
# repository (its build folder), not to /tmp, which may be mounted without exec rights.
kt_host_runs_i386() {
    local top dir probe status=0
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    dir=$top/build/.host-probe
    mkdir -p "$dir"
    probe=$(mktemp "$dir/i386.XXXXXX")
    printf "$kt_i386_probe_bytes" >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return "$status"
}

kt_windows_build() {
    if [ -n "${KETTERLIN_WINDOWS_BUILD:-}" ]; then
        case "$KETTERLIN_WINDOWS_BUILD" in
        win32 | win64) echo "$KETTERLIN_WINDOWS_BUILD"; return 0 ;;
        *) echo "wine-env: KETTERLIN_WINDOWS_BUILD must be win32 or win64" >&2; return 2 ;;
        esac
    fi
    if [ -z "${KT_HOST_WINDOWS_BUILD:-}" ]; then
        if kt_host_runs_i386; then KT_HOST_WINDOWS_BUILD=win32; else KT_HOST_WINDOWS_BUILD=win64; fi
        export KT_HOST_WINDOWS_BUILD
    fi
    echo "$KT_HOST_WINDOWS_BUILD"
}

# The cross build folders: build/win holds the 32-bit product, build/win64 the 64-bit program.
kt_windows_build_dir() {
    case "$2" in
    win32) echo "$1/build/win" ;;
    win64) echo "$1/build/win64" ;;
    *) echo "wine-env: unknown Windows build $2" >&2; return 2 ;;
    esac
}

# /usr/bin/wine always starts the 32-bit loader when it is installed, whether the kernel can run
# it or not, so each build names its loader directly.
kt_wine_use() {
    case "$1" in
    win32)
        export WINEARCH=win32 KT_WINE_LOADER=$kt_wine_dir/wine
        unset WINELOADER
        ;;
    win64)
        export WINEARCH=win64 KT_WINE_LOADER=$kt_wine_dir/wine64
        export WINELOADER=$KT_WINE_LOADER
        ;;
    *) echo "wine-env: unknown Windows build $1" >&2; return 2 ;;
    esac
    KT_WINESERVER=$kt_wine_dir/wineserver
    export KT_WINDOWS_BUILD=$1 KT_WINESERVER
}

# The build a Windows executable was made for, from the machine field of its PE header.
kt_pe_build() {
    local peOffset machine
    peOffset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$peOffset" ] || { echo "wine-env: $1 is not a Windows program" >&2; return 2; }
    machine=$(od -An -t x2 -j $((peOffset + 4)) -N 2 "$1" | tr -d ' ')
    case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) echo "wine-env: $1 has an unknown machine type $machine" >&2; return 2 ;;
    esac
}

kt_wine_use_for() {
    local build
    build=$(kt_pe_build "$1") || return 2
    kt_wine_use "$build"
}

wine() { "${KT_WINE_LOADER:?kt_wine_use first}" "$@"; }
wineboot() { wine wineboot "$@"; }
wineserver() { "${KT_WINESERVER:?kt_wine_use first}" "$@"; }

# Prints the variables a program outside bash (the Python harness) needs to run the selected
# Wine in the current prefix, one NAME=VALUE a line.
kt_wine_print_env() {
    local name
    for name in WINEPREFIX WINEARCH WINELOADER WINEDEBUG WINEDLLOVERRIDES KT_WINE_LOADER \
        KT_WINESERVER KT_WINDOWS_BUILD; do
        [ -n "${!name:-}" ] && printf '%s=%s\n' "$name" "${!name}"
    done
    return 0
}

kt_font_dirs=(/usr/share/fonts/truetype/wine /usr/share/wine/fonts)

kt_wine_prefix() {
    local dir=$1
    [ -n "${KT_WINDOWS_BUILD:-}" ] || kt_wine_use "$(kt_windows_build)" || return 2
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX
    WINEPREFIX=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
    # Several test processes may ask for the same prefix at once: one makes it, the others wait.
    (
        flock 9
        # A prefix is made for one loader; one of the other build is made anew.
        if [ "$(cat "$WINEPREFIX/.ketterlin-ready" 2>/dev/null)" != "$KT_WINDOWS_BUILD" ]; then
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
            echo "$KT_WINDOWS_BUILD" >"$WINEPREFIX/.ketterlin-ready"
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
