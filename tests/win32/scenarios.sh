# The scenarios of the Windows program, sourced by scripts/run-wine-tests once the prefix,
# the ports (PORTS, zylsim_start/zylsim_stop), the X server and the build (BIN) are up.
# Each drives zyltool.exe by real key presses (xdotool) against zylsim, reads its windows
# from outside (zylpeek.exe) and leaves screenshots in SHOTS.

MAIN="ZYL default - *"  # the main window's caption begins so
BOX="ZYL default"       # a message box's caption, and the About box's
UNIT_PORT=5             # the unit's port; every other COM number is absent unless named
FAILURES=()

peek() { wine "$BIN/zylpeek.exe" "$@"; }
shot() { import -window root "$SHOTS/$1.png"; }
# The log box, newest line on top, one line each, the progress marks left out.
log_lines() { peek text "$MAIN" 1009 | tr -d '*' | sed 's/\r$//'; }
fail() {
    echo "  FAILED: $*" >&2
    SCENARIO_OK=0
}
expect_eq() {  # WHAT EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        fail "$1: expected '$2', got '$3'"
    fi
}
# wait_until SECONDS COMMAND...: true once COMMAND is.
wait_until() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.2
    done
}
log_has() { log_lines | grep -qxF "$1"; }
# Without a window manager the X focus falls back to the root window when a program ends,
# and a key then goes to whatever lies under the pointer. Wine gives a new window the focus
# itself, but not always before the window shows; keys are pressed only once the window
# holds it, and should Wine never give it, xdotool does, as a click would, and says so.
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(xdotool search --name "$1" 2>/dev/null | head -1)" ]; }
take_focus() {
    wait_until 5 has_focus "$1" && return
    echo "  (no focus for '$1' after 5 s: given by xdotool)"
    timeout 5 xdotool search --name "$1" windowfocus --sync || true
    has_focus "$1"
}

# Starts the program (ZYLTOOL, else the 64-bit build's) in a folder of its own; PROGRAM is
# the Wine process, gone when the program has ended.
start_program() {
    mkdir -p "$WORK/run"
    (cd "$WORK/run" && exec wine "${ZYLTOOL:-$BIN/zyltool.exe}" >"$WORK/program.log" 2>&1) &
    PROGRAM=$!
    PIDS+=($PROGRAM)
    local begun=$(date +%s%N)
    peek wait "$MAIN" 30 || { fail "no main window"; return 1; }
    FIRST_WINDOW_MS=$((($(date +%s%N) - begun) / 1000000))
    take_focus "^ZYL default - " || { fail "the main window does not take the focus"; return 1; }
}
end_program() {
    xdotool key Escape
    if ! wait_until 10 bash -c "! kill -0 $PROGRAM 2>/dev/null"; then
        fail "the program did not end on Esc"
        kill "$PROGRAM" 2>/dev/null || true
    fi
    wait "$PROGRAM" 2>/dev/null || true
}
# Presses the connect button and answers the connect dialog with CODE.
connect_with() {
    xdotool key Return
    if ! peek wait "ZYL key" 10; then
        fail "no connect dialog; the X focus on $(xdotool getwindowfocus getwindowname 2>&1)"
        shot no-connect-dialog
        peek windows >&2
        return 1
    fi
    xdotool type --delay 20 "$1"
    xdotool key Return
}

# The bytes the program sent, from zylsim's transcript ("ms > 0xNN").
sent_bytes() { awk '$2 == ">" { printf "%s ", $3 }' "$1"; }

scenario_factory_reset() {
    zylsim_start $UNIT_PORT --transcript "$WORK/reset.transcript"
    start_program || return
    shot reset-1-start
    expect_eq "log at start" "" "$(peek text "$MAIN" 1009)"
    expect_eq "1004 at start" "enabled visible" "$(peek state "$MAIN" 1004)"
    connect_with 4827
    local begun=$SECONDS
    wait_until 60 log_has "Tovarni nastavení uloženo" || fail "no end of the reset in the log"
    RESET_S=$((SECONDS - begun))
    shot reset-2-done
    local expected
    expected=$(printf '%s\n' "Tovarni nastavení uloženo" "Všechny logy byly smazány" "" \
        "Všechny klíce byly smazány" "" "Nastaven aktuální čas" "Nastaven přístupový kód 4827" \
        "Nastavena nastavení pro relé" "Nastaven čas přístupu na 5s" "Nastaven počet znaků komentáře na 50" \
        "Název výtahu vymazán" "ZYL připojen na COM$UNIT_PORT." "ZYL nalezen na COM$UNIT_PORT" \
        "Nalezen Port COM$UNIT_PORT" "Hledám ZYL...")
    expect_eq "log" "$expected" "$(log_lines)"
    expect_eq "1004 after the reset" "enabled visible" "$(peek state "$MAIN" 1004)"
    end_program
    zylsim_stop $UNIT_PORT
    # The clock's six bytes (year - 2000 .. second) are the PC's; the rest is the protocol's.
    local bytes clock
    bytes=$(sent_bytes "$WORK/reset.transcript")
    clock=$(cut -d' ' -f22-27 <<<"$bytes")
    expect_eq "bytes sent" \
        "0x04 0x01 0xA7 0x5A 0x59 0x4C 0x07 0x12 0xDB 0x1E 0xFF 0x23 0x41 0x1F 0x05 0x19 0x00 0x20 0x12 0xDB 0x24 $clock 0x18 0x08 0x11 0x28 0x08 0x13 0x04 " \
        "$bytes"
    expect_eq "year byte" "$(date +%y)" "$(printf '%d' "$(cut -d' ' -f1 <<<"$clock")")"
    RESET_SPAN_MS=$(awk '$2 == ">" && $3 == "0x01" && !a { a = $1 } $2 == ">" && $3 == "0x18" { b = $1 } END { print b - a }' \
        "$WORK/reset.transcript")
    cp "$WORK/reset.transcript" "$SHOTS/reset.transcript"
    echo "  first window after ${FIRST_WINDOW_MS} ms; reset ${RESET_S} s; 0x01..0x18 ${RESET_SPAN_MS} ms"
}

scenario_refused_code() {
    zylsim_start $UNIT_PORT --fault refuse-code
    start_program || return
    connect_with 1234
    wait_until 20 log_has "ZYL nepřipojen!" || fail "no 'ZYL nepřipojen!' in the log"
    shot refused-code
    expect_eq "1004 after the refusal" "enabled visible" "$(peek state "$MAIN" 1004)"
    end_program
    zylsim_stop $UNIT_PORT
}

# COM2 opens but nothing answers on it; the search goes on to the unit.
scenario_search_past_absent_and_unitless_ports() {
    zylsim_start 2 --fault silence
    zylsim_start $UNIT_PORT
    start_program || return
    connect_with 4827
    wait_until 60 log_has "Tovarni nastavení uloženo" || fail "no end of the reset in the log"
    local log
    log=$(log_lines)
    grep -qxF "Nalezen Port COM2" <<<"$log" || fail "COM2 was not tried"
    grep -qxF "ZYL nalezen na COM$UNIT_PORT" <<<"$log" || fail "the unit was not found on COM$UNIT_PORT"
    if grep -qxF "ZYL nalezen na COM2" <<<"$log"; then
        fail "a unit found on the unitless COM2"
    fi
    shot search
    end_program
    zylsim_stop 2
    zylsim_stop $UNIT_PORT
}

# The cable goes while the unit sends its progress bytes for the keys: the unit's end of the
# line vanishes, and the next silent tick is a disconnection.
scenario_pulled_cable_during_erase() {
    local transcript=$WORK/pulled.transcript
    zylsim_start $UNIT_PORT --erase-ms 4000 --transcript "$transcript"
    start_program || return
    connect_with 4827
    wait_until 60 bash -c "[ \$(grep -c '< 0x0A' '$transcript' 2>/dev/null) -ge 5 ]" || fail "no progress bytes"
    zylsim_stop $UNIT_PORT
    peek wait "$BOX" 10 || { fail "no message box"; end_program; return; }
    shot pulled-cable-box
    expect_eq "the box" "Chyba 525 - ZYL odpojeno." \
        "$(peek texts "$BOX" | grep -o 'Chyba [0-9]* - ZYL odpojeno\.' || true)"
    xdotool key Return
    peek gone "$BOX" 10 || fail "the box stayed"
    expect_eq "1004 after the box" "enabled visible" "$(peek state "$MAIN" 1004)"
    end_program
}

# A logout in the middle of the reset: the program ends the link (0x04 after the byte of
# the tick in progress) and sends nothing more, as closing the window does.
scenario_session_end_during_reset() {
    local transcript=$WORK/session-end.transcript
    zylsim_start $UNIT_PORT --transcript "$transcript"
    start_program || return
    connect_with 4827
    wait_until 30 log_has "Název výtahu vymazán" || fail "the reset did not begin"
    peek endsession "$MAIN"
    last_sent_is_end() { [ "$(sent_bytes "$transcript" | awk '{ print $NF }')" = 0x04 ]; }
    wait_until 10 last_sent_is_end || fail "the link was not ended: $(sent_bytes "$transcript" | awk '{ print $NF }') last"
    local bytes
    bytes=$(sent_bytes "$transcript")
    expect_eq "bytes after the end" "$bytes" "$(sleep 1; sent_bytes "$transcript")"
    kill "$PROGRAM" 2>/dev/null || true
    wait "$PROGRAM" 2>/dev/null || true
    zylsim_stop $UNIT_PORT
}

# COM1 leads to /dev/null: Wine opens it, but no terminal takes line settings, so the port's
# warning box comes up in the middle of the search. The box is task-modal: a click on 1004
# behind it starts no second search, and once the box is dismissed the search goes on to
# the unit and the reset is whole. No window manager gives the focus back after the
# ownerless box, so a click on the caption does before the Esc.
dismiss_warning_or_see_the_end() {
    if peek wait "Warning!" 0; then
        timeout 5 xdotool search --name "^Warning!$" windowfocus --sync || true
        xdotool key Return
        peek gone "Warning!" 2 || true
        return 1
    fi
    log_has "Tovarni nastavení uloženo"
}
scenario_warning_box_holds_the_search() {
    local transcript=$WORK/box.transcript
    ln -sfn /dev/null "$PORTS/com1"
    zylsim_start $UNIT_PORT --transcript "$transcript"
    start_program || return
    connect_with 4827
    if peek wait "Warning!" 10; then
        shot warning-box
        # 1004 spans the top of the main window, below its caption.
        xdotool search --name "^ZYL default - " mousemove --window %1 232 44 click 1 || true
        xdotool mousemove 0 0
        ! peek wait "ZYL key" 3 || fail "a second connect dialog behind the warning box"
    else
        fail "no warning box for COM1"
    fi
    # The settings' box, then the time-outs' box (/dev/null takes neither), each dismissed
    # as it comes, however late.
    if ! wait_until 60 dismiss_warning_or_see_the_end; then
        fail "no end of the reset in the log"
        shot warning-box-stalled
        peek windows >&2
    fi
    xdotool search --name "^ZYL default - " mousemove --window %1 100 10 click 1 || true
    xdotool mousemove 0 0
    end_program
    zylsim_stop $UNIT_PORT
    ln -sfn "$PORTS/none" "$PORTS/com1"
    local bytes
    bytes=$(sent_bytes "$transcript")
    expect_eq "bytes sent" \
        "0x04 0x01 0xA7 0x5A 0x59 0x4C 0x07 0x12 0xDB 0x1E 0xFF 0x23 0x41 0x1F 0x05 0x19 0x00 0x20 0x12 0xDB 0x24 $(cut -d' ' -f22-27 <<<"$bytes") 0x18 0x08 0x11 0x28 0x08 0x13 0x04 " \
        "$bytes"
}

scenario_connect_dialog_refuses_10000() {
    start_program || return
    connect_with 10000
    peek wait "$BOX" 10 || fail "no message box"
    shot connect-10000
    peek texts "$BOX" | grep -q "Zadejte celé číslo od 0 do 9999" || fail "the box does not name 0..9999"
    xdotool key Return
    peek gone "$BOX" 10 || fail "the box stayed"
    peek wait "ZYL key" 5 || fail "the connect dialog closed"
    xdotool key Escape
    peek gone "ZYL key" 10 || fail "the connect dialog stayed after Esc"
    expect_eq "log after Zpět" "" "$(peek text "$MAIN" 1009)"
    end_program
}

# Alt+Space opens the system menu; its last item, below the separator, is the About box's.
scenario_about_box_from_the_system_menu() {
    start_program || return
    xdotool key alt+space
    sleep 0.5
    shot about-1-menu
    xdotool key Up Return
    peek wait "$BOX" 10 || { fail "no About box"; end_program; return; }
    shot about-2-box
    peek texts "$BOX" | grep -qxF "65534 ZYL default Verze 130218" || fail "no version line"
    xdotool key Return
    peek gone "$BOX" 10 || fail "the About box stayed after OK"
    end_program
}

# The windows once more under a Czech locale (ANSI code page 1250), their Czech texts read
# back, and screenshots.
scenario_czech_locale_screenshots() {
    LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 start_program || return
    shot czech-1-main
    expect_eq "1004" "Připojit ZYL a nahrát tovární nastavení" "$(peek text "$MAIN" 1004)"
    xdotool key Return
    peek wait "ZYL key" 10 || fail "no connect dialog"
    shot czech-2-connect
    expect_eq "the prompt" "Vložte přístupový kód:" "$(peek text "ZYL key" 1033)"
    xdotool key Escape
    end_program
}

# A folder as a browser's downloads might be: zyltool.exe of BUILD with stand-ins for
# winmm.dll and comctl32.dll beside it, which Wine is told to prefer to its own, as Windows
# searches the program's folder first. A whole reset runs without loading either. The probe,
# which imports winmm the ordinary way, loads the stand-in, or the check could not fail.
reset_beside_planted_dlls() {  # BUILD
    local planted=$1/planted folder
    folder=$WORK/downloads-$(basename "$1")
    rm -rf "$folder"
    mkdir -p "$folder/probe" "$folder/program"
    cp "$planted/winmm.dll" "$planted/comctl32.dll" "$planted/planted_probe.exe" "$folder/probe/"
    cp "$planted/winmm.dll" "$planted/comctl32.dll" "$1/bin/zyltool.exe" "$folder/program/"
    local overrides="$WINEDLLOVERRIDES;winmm,comctl32=n,b"
    WINEDLLOVERRIDES=$overrides wine "$folder/probe/planted_probe.exe" >/dev/null 2>&1 || true
    # The mark is named as the loader named the DLL, in whatever case.
    marked() { [ -n "$(find "$1" -maxdepth 1 -iname "$2.dll.mark")" ]; }
    marked "$folder/probe" winmm || fail "the probe did not load the planted winmm.dll"
    WINEDLLOVERRIDES=$overrides ZYLTOOL=$folder/program/zyltool.exe scenario_factory_reset
    for dll in winmm comctl32; do
        ! marked "$folder/program" $dll || fail "zyltool.exe loaded the planted $dll.dll"
    done
}
scenario_planted_dlls_x64() { reset_beside_planted_dlls "$CROSS"; }
# The 32-bit program's whole reset by key presses, in the same folder as the 64-bit one's.
scenario_planted_dlls_x86() { reset_beside_planted_dlls "$CROSS_X86"; }

# At 96, 120 and 144 DPI (Wine's LogPixels, read by each new program): every dialog's texts
# inside their controls in the font they are drawn in (the faces GDI picked are in
# SHOTS/texts-fit-DPI.txt), and screenshots of the main window, the connect dialog and the
# About box.
scenario_scaling() {
    local dpi
    for dpi in 96 120 144; do
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
        wine "$BIN/win32_window_tests.exe" --gtest_filter='TextsFit.*' --gtest_brief=1 \
            >"$SHOTS/texts-fit-$dpi.txt" 2>&1 || fail "a text does not fit its control at $dpi DPI:
$(grep 'DOES NOT FIT' "$SHOTS/texts-fit-$dpi.txt" | sort -u)"
        start_program || continue
        shot "dpi$dpi-1-main"
        xdotool key Return
        peek wait "ZYL key" 10 || fail "no connect dialog at $dpi DPI"
        shot "dpi$dpi-2-connect"
        xdotool key Escape
        peek gone "ZYL key" 10 || fail "the connect dialog stayed at $dpi DPI"
        xdotool key alt+space
        sleep 0.5
        xdotool key Up Return
        peek wait "$BOX" 10 || fail "no About box at $dpi DPI"
        shot "dpi$dpi-3-about"
        xdotool key Return
        peek gone "$BOX" 10 || fail "the About box stayed at $dpi DPI"
        end_program
    done
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    awk -F'"' 'NF > 2 { print $2 }' "$SHOTS/texts-fit-96.txt" | sort | uniq -c | sed 's/^ */  faces at 96 DPI: /'
}

run_scenarios() {  # [NAME...], all when none is named
    local passed=0 name names=("$@")
    [ $# -gt 0 ] || names=(factory_reset refused_code search_past_absent_and_unitless_ports pulled_cable_during_erase
        session_end_during_reset warning_box_holds_the_search connect_dialog_refuses_10000
        about_box_from_the_system_menu czech_locale_screenshots planted_dlls_x64 planted_dlls_x86 scaling)
    for name in "${names[@]}"; do
        SCENARIO_OK=1
        local begun=$SECONDS
        echo "scenario $name"
        "scenario_$name" || fail "ended with status $?"
        echo "  $([ $SCENARIO_OK = 1 ] && echo passed || echo FAILED) in $((SECONDS - begun)) s"
        if [ $SCENARIO_OK = 1 ]; then
            passed=$((passed + 1))
        else
            FAILURES+=("$name")
        fi
    done
    echo "scenarios: $passed passed, ${#FAILURES[@]} failed ${FAILURES[*]:-}"
    [ ${#FAILURES[@]} -eq 0 ]
}
