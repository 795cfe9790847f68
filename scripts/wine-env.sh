# shellcheck shell=bash
# Wine in Xvfb for the end-to-end tests. Source it, then:
#   ombry_install_deps [audio]     packages, i386 Wine, Japanese locale, fonts
#   ombry_xvfb_start               a private X display; exports DISPLAY
#   ombry_xorg_start               a private X display with two monitors (Xorg, dummy
#                                  driver): 1024x768 at 0,0 (primary), 800x600 at 1024,0
#   ombry_xorg_layout              lays those two monitors out again
#   ombry_wine_prefix DIR [DPI] [audio]
#                                  a fresh prefix (copied from a template); exports WINEPREFIX;
#                                  with "audio" Wine's sound driver is on (pulse)
#   ombry_audio_start DIR          a private PulseAudio daemon with one null sink "ombry",
#                                  its socket in DIR; exports PULSE_SERVER
#   ombry_audio_stop               ends that daemon (by its PID)
#   ombry_wine ARGS...             runs a Windows program in that prefix
#   ombry_wine_export [32|64]      exports the Wine environment and the loader as OMBRY_WINE
#   ombry_pe_bits FILE             32 or 64: what an .exe needs
#   ombry_wine_reset               ends every Wine process of the prefix
#   ombry_stop_all                 ends Wine and Xvfb; put it in an EXIT trap
#   ombry_session LABEL BITS [DPI] all of it for one script: a work folder, a
#                                  display, a prefix, and an EXIT trap that ends them
#   ombry_can_run_32bit            true when this machine runs 32-bit .exe files

# Templates are kept between runs: making a prefix takes 10 to 20 s, copying one
# well under a second.
OMBRY_WINE_TEMPLATES=${OMBRY_WINE_TEMPLATES:-/var/tmp/ombry-wine-templates}
OMBRY_XVFB_PID=${OMBRY_XVFB_PID:-}
OMBRY_XORG_PID=${OMBRY_XORG_PID:-}
OMBRY_AUDIO_PID=${OMBRY_AUDIO_PID:-}

_ombry_log() { printf 'wine-env: %s\n' "$*" >&2; }

_ombry_missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -qx 'install ok installed' || echo "$p"
    done
}

ombry_install_deps() {
    local want=(
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake
        wine wine64
        xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic fonts-wine
        locales
    )
    [[ ${1:-} == audio ]] && want+=(pulseaudio pulseaudio-utils)
    # Xvfb has one RandR output; two monitors need Xorg's dummy driver.
    [[ ${OMBRY_E2E_MONITORS:-1} -gt 1 ]] && want+=(xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)
    local fresh_arch=0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        fresh_arch=1
    fi
    local missing
    mapfile -t missing < <(_ombry_missing_packages "${want[@]}" wine32:i386)
    if ((${#missing[@]} || fresh_arch)); then
        _ombry_log "installing: ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
            >/dev/null || return 1
    fi
    if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || return 1
    fi
}

# Some kernels run without 32-bit support (ia32_emulation off); there the
# 32-bit Wine loader cannot start, and neither can a 32-bit .exe. An i386
# emulator registered with binfmt_misc would start it, but far too slowly for
# tests (a prefix takes minutes), so that does not count.
ombry_can_run_32bit() {
    local f
    for f in /proc/sys/fs/binfmt_misc/*; do
        [[ -f $f && $f != */register && $f != */status ]] || continue
        grep -qx enabled "$f" 2>/dev/null && grep -q '^interpreter .*i386' "$f" 2>/dev/null && return 1
    done
    timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The loader: wine64 runs 64-bit programs without touching the 32-bit side;
# the plain loader is needed for 32-bit programs.
_ombry_wine_loader() {
    if [[ ${1:-} != 32 ]]; then
        echo /usr/lib/wine/wine64
    elif ombry_can_run_32bit; then
        echo wine
    else
        return 1
    fi
}

# Exports what every Wine process here needs: Japanese locale (ANSI code
# page 932), no debug noise, no Mono/Gecko prompts, and in OMBRY_WINE the
# loader for 64-bit programs, or for 32-bit ones when given "32".
ombry_wine_export() {
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
    OMBRY_WINE=$(_ombry_wine_loader "${1:-64}") || {
        _ombry_log "this machine cannot run 32-bit programs"
        return 1
    }
    export OMBRY_WINE
}

# 32 or 64, from the PE header's machine field (014c i386, 8664 x86-64).
ombry_pe_bits() {
    local off machine
    off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') || return 1
    machine=$(od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' ')
    case $machine in
        014c) echo 32 ;;
        8664) echo 64 ;;
        *) return 1 ;;
    esac
}

ombry_wine() {
    (ombry_wine_export "${OMBRY_WINE_BITS:-64}" && exec "$OMBRY_WINE" "$@")
}

ombry_xvfb_start() {
    local dfile i
    dfile=$(mktemp) || return 1
    # Larger than the 1024x768 virtual desktop: Wine offers the desktop only
    # display modes that fit the X screen, and 1366x768 lets a test change
    # the screen's width alone.
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -wr 3>"$dfile" >/dev/null 2>&1 &
    OMBRY_XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
        [[ -s $dfile ]] && break
        if ! kill -0 "$OMBRY_XVFB_PID" 2>/dev/null; then
            _ombry_log "Xvfb exited at start"
            OMBRY_XVFB_PID=
            rm -f "$dfile"
            return 1
        fi
        sleep 0.1
    done
    if [[ ! -s $dfile ]]; then
        _ombry_log "Xvfb gave no display number"
        rm -f "$dfile"
        return 1
    fi
    DISPLAY=":$(head -n1 "$dfile")"
    export DISPLAY OMBRY_XVFB_PID
    rm -f "$dfile"
}

# Two monitors side by side, tops aligned: the primary 1024x768 at 0,0 and
# 800x600 at 1024,0. Xorg's dummy driver has sixteen RandR outputs, which
# Wine sees as monitors (Xvfb has one). The root is painted, so that an
# uncovered monitor never reads as black.
ombry_xorg_start() {
    local dir n i
    dir=$(mktemp -d /tmp/ombry-xorg.XXXXXX) || return 1
    cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
CONF
    # Xorg has no -displayfd with this driver here: take the first display
    # number with neither a lock nor a socket.
    for ((n = 40; n < 100; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || break
    done
    Xorg ":$n" -config "$dir/xorg.conf" -noreset -nolisten tcp -logfile "$dir/xorg.log" >/dev/null 2>&1 &
    OMBRY_XORG_PID=$!
    export OMBRY_XORG_PID
    DISPLAY=:$n
    export DISPLAY
    for ((i = 0; i < 100; i++)); do
        xrandr >/dev/null 2>&1 && break
        kill -0 "$OMBRY_XORG_PID" 2>/dev/null || break
        sleep 0.1
    done
    if ! xrandr >/dev/null 2>&1; then
        _ombry_log "Xorg did not start: $(tail -n 3 "$dir/xorg.log" 2>/dev/null)"
        ombry_xorg_stop
        return 1
    fi
    ombry_xorg_layout || { ombry_xorg_stop; return 1; }
}

# Lays the two monitors out (again: a scenario may switch one off).
ombry_xorg_layout() {
    local i
    xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 --primary &&
        { xrandr --addmode DUMMY1 800x600 2>/dev/null || true; } &&
        xrandr --output DUMMY1 --mode 800x600 --pos 1024x0 || {
        _ombry_log "could not lay out the monitors"
        return 1
    }
    xsetroot -solid '#336699'
    # A Wine process started before the outputs settle sees one monitor.
    for ((i = 0; i < 50; i++)); do
        ombry_xorg_laid_out && break
        sleep 0.1
    done
    sleep 2
}

ombry_xorg_laid_out() { [[ $(xrandr --listactivemonitors 2>/dev/null | head -n1) == "Monitors: 2" ]]; }

ombry_xorg_stop() {
    [[ -n ${OMBRY_XORG_PID:-} ]] || return 0
    _ombry_end_pid "$OMBRY_XORG_PID"
    OMBRY_XORG_PID=
    return 0
}

# The registry settings every prefix gets (UTF-8 here; written as UTF-16LE).
# Without a sound server Wine's audio driver only fills stderr with ALSA
# noise, so it is off unless the prefix is for audio.
_ombry_reg_text() {
    local dpi=$1 audio=${2:-}
    local driver=''
    [[ $audio == audio ]] && driver=pulse
    printf '%s\r\n' \
        'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"ＭＳ ゴシック"="IPAGothic"' \
        '"ＭＳ Ｐゴシック"="IPAPGothic"' ''
    if [[ ${OMBRY_E2E_MONITORS:-1} -gt 1 ]]; then
        # A virtual desktop is one monitor: the windows go straight to X,
        # unmanaged (no window manager; hiding would wait 2 s).
        printf '%s\r\n' \
            '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
            '"Managed"="N"' ''
    else
        printf '%s\r\n' \
            '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
            '"Desktop"="Default"' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' \
            '"Default"="1024x768"' ''
    fi
    printf '%s\r\n' \
        '[HKEY_CURRENT_USER\Software\Wine\Drivers]' \
        "\"Audio\"=\"$driver\"" ''
    if [[ -n $dpi ]]; then
        printf '%s\r\n' \
            '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
            "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" ''
    fi
}

_ombry_make_template() {
    local target=$1 dpi=$2 audio=${3:-} tmp
    tmp=$(mktemp -d "$target.XXXXXX") || return 1
    _ombry_log "preparing Wine prefix template $target"
    (
        export WINEPREFIX=$tmp
        unset DISPLAY
        # With 32-bit support the prefix gets its 32-bit side set up too.
        bits=64
        ombry_can_run_32bit && bits=32
        ombry_wine_export "$bits" || exit 1
        timeout 300 "$OMBRY_WINE" wineboot -i >/dev/null 2>&1 || { _ombry_log "wineboot failed"; exit 1; }
        mkdir -p "$tmp/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$tmp/drive_c/windows/Fonts/" || exit 1
        { printf '\xff\xfe'; _ombry_reg_text "$dpi" "$audio" | iconv -f UTF-8 -t UTF-16LE; } >"$tmp/drive_c/ombry.reg" || exit 1
        timeout 120 "$OMBRY_WINE" regedit /S 'C:\ombry.reg' >/dev/null 2>&1 || { _ombry_log "regedit failed"; exit 1; }
        rm -f "$tmp/drive_c/ombry.reg"
        wineserver -w
    ) || {
        WINEPREFIX=$tmp wineserver -k 2>/dev/null
        rm -rf "$tmp"
        return 1
    }
    mv "$tmp" "$target"
}

ombry_wine_prefix() {
    local dir=${1:?prefix directory} dpi=${2:-} audio=${3:-} key tpl
    # The template's name changes with what goes into it.
    key=$({
        ombry_wine --version 2>/dev/null
        _ombry_reg_text "$dpi" "$audio"
        ls /usr/share/wine/fonts/
        ombry_can_run_32bit && echo 32-bit
        declare -f _ombry_make_template
    } | sha256sum | cut -c1-16)
    tpl=$OMBRY_WINE_TEMPLATES/prefix-${dpi:-default}${audio:+-$audio}-$key
    mkdir -p "$OMBRY_WINE_TEMPLATES" || return 1
    (
        flock 9
        [[ -d $tpl ]] || _ombry_make_template "$tpl" "$dpi" "$audio"
    ) 9>"$OMBRY_WINE_TEMPLATES/.lock" || return 1
    rm -rf "$dir"
    cp -a "$tpl" "$dir" || return 1
    WINEPREFIX=$dir
    export WINEPREFIX
}

# Ends every process of the prefix and waits until they are gone.
ombry_wine_reset() {
    [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] || return 0
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    return 0
}

# A sound server of our own: user mode, no default modules, one null sink,
# anonymous access on a socket in DIR. Wine (winepulse) and pactl find it
# through PULSE_SERVER.
ombry_audio_start() {
    local dir=${1:?socket directory} i
    mkdir -p "$dir/home" && chmod 700 "$dir" || return 1
    # HOME and XDG_RUNTIME_DIR private too, so nothing of a desktop session is touched.
    HOME=$dir/home XDG_RUNTIME_DIR=$dir pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
        --use-pid-file=no -L "module-null-sink sink_name=ombry" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" >"$dir/pulseaudio.log" 2>&1 &
    OMBRY_AUDIO_PID=$!
    export PULSE_SERVER=unix:$dir/native OMBRY_AUDIO_PID
    for ((i = 0; i < 50; i++)); do
        pactl get-sink-mute ombry >/dev/null 2>&1 && return 0
        kill -0 "$OMBRY_AUDIO_PID" 2>/dev/null || break
        sleep 0.1
    done
    _ombry_log "the sound server did not start: $(tail -n 3 "$dir/pulseaudio.log" 2>/dev/null)"
    ombry_audio_stop
    return 1
}

# Ends a background process of ours by its PID: politely, then after 5 s for good.
_ombry_end_pid() {
    local pid=$1 i
    kill "$pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

ombry_audio_stop() {
    [[ -n ${OMBRY_AUDIO_PID:-} ]] || return 0
    _ombry_end_pid "$OMBRY_AUDIO_PID"
    OMBRY_AUDIO_PID=
    unset PULSE_SERVER
    return 0
}

ombry_stop_all() {
    ombry_wine_reset
    ombry_audio_stop
    ombry_xorg_stop
    if [[ -n ${OMBRY_XVFB_PID:-} ]]; then
        _ombry_end_pid "$OMBRY_XVFB_PID"
        OMBRY_XVFB_PID=
    fi
    return 0
}

# One script's whole Wine session: a work folder in OMBRY_WORK, a private
# display, a fresh prefix, the loader for BITS-bit programs; at exit (or on
# an interrupt) the background program in OMBRY_CHILD_PID, Wine and Xvfb are
# ended and the folder removed.
ombry_session() {
    local label=$1 bits=$2 dpi=${3:-}
    OMBRY_WORK=$(mktemp -d "/tmp/ombry-$label.XXXXXX") || return 1
    OMBRY_CHILD_PID=
    trap _ombry_session_end EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    if [[ ${OMBRY_E2E_MONITORS:-1} -gt 1 ]]; then
        ombry_xorg_start || return 1
    else
        ombry_xvfb_start || return 1
    fi
    ombry_wine_prefix "$OMBRY_WORK/prefix" "$dpi" || { _ombry_log "could not prepare the Wine prefix"; return 1; }
    ombry_wine_export "$bits"
}

_ombry_session_end() {
    [[ -n ${OMBRY_CHILD_PID:-} ]] && kill "$OMBRY_CHILD_PID" 2>/dev/null
    ombry_stop_all
    [[ -n ${OMBRY_WORK:-} ]] && rm -rf "$OMBRY_WORK"
    return 0
}
