#!/usr/bin/env bash
# End-to-end checks under Wine: the player stand-in loads a plug-in DLL and plays the
# player's side; the log it writes (JSON lines) is checked with jq.
#
#   wine-e2e.sh CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# CASE: plugin-records, plugin-play (the x64 plug-in); probe-lifecycle, probe-failures,
# probe-watchdog (the stand-in itself, against its probe plug-in).
# Exit: 0 passed, 1 failed, 77 skipped (nothing built, or jq missing).
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin 2,9 "$@"
plugin=$win_dir/src/host/vis_vevirur2.dll
probe=$win_dir/tests/wine/standin_probe.dll
require_built "$standin" "$plugin" "$probe"

# run NAME DLL ARG...: runs the stand-in, leaving $work/NAME.jsonl and the exit code in $rc.
run() {
  run_standin 60 "$@"
  run_logged "$1"
}

# expect_exit CODE
expect_exit() {
  ((rc == $1)) || fail "$(basename "$log"): exit code $rc, want $1; $(tail -3 "$work/"*.out)"
}


# The order of the IPC numbers the plug-in asked for between two events.
requests_between() {
  jq -s -c --arg from "$1" --arg to "$2" \
    '(map(.event) | index($from)) as $a | (map(.event) | index($to)) as $b
     | .[$a:$b] | map(select(.event == "request") | .ipc)' "$log"
}

common_checks() {
  check "no crash or watchdog" 'all(.[]; .event != "crash" and .event != "watchdog")'
  check "every request is one the player knows" \
    'all(.[] | select(.event == "request"); .known == true)'
  check "ends with an exit line" '.[-1].event == "exit"'
}

case $case_name in
  plugin-records)
    run records "$plugin" --scenario records
    expect_exit 0
    check 'header version 0x101, description "Vevirur 2"' \
      'any(.[]; .event == "header" and .version == "0x101" and .description == "Vevirur 2"
               and .get_module)'
    check "module 0: Vevirur 2, latency 0, delay 25, one spectrum and one waveform channel" \
      'any(.[]; .event == "module" and .index == 0 and .null == false
                and .description == "Vevirur 2" and .latency_ms == 0 and .delay_ms == 25
                and .spectrum_nch == 1 and .waveform_nch == 1 and .user_data_null
                and .config and .init and .render and .quit and .record_size == 2392)'
    check "getModule(1) is null" 'any(.[]; .event == "module" and .index == 1 and .null)'
    common_checks
    ;;

  plugin-play)
    run play "$plugin" --scenario play --duration 2000 --screenshot "Z:$work/plugin-frame.png"
    expect_exit 0
    check "the record carries the host main window, the DLL's instance, rate and channels" \
      'any(.[]; .event == "fill" and .hwnd_parent == "host" and .dll_instance
                and .s_rate == 44100 and .n_ch == 2)'
    check "Init returns 0" 'any(.[]; .event == "init_return" and .result == 0)'
    check "Render is called every 25 ms for 2 s" \
      'any(.[]; .event == "render_done" and .calls >= 40 and .calls <= 81)'
    check "every Render returns 0" 'all(.[] | select(.event == "render"); .result == "0x0")'
    check "the three signals play in turn" \
      '[.[] | select(.event == "signal") | .name] == ["silence", "tone", "beats"]'
    check "track, stop and play notices reach the player's own procedure" \
      '[.[] | select(.event == "notice") | [.kind, .message, .result]]
       == [["track", 666, "0x5a5a"], ["track", 1024, "0x5a5a"],
           ["play_state_stopped", 1024, "0x5a5a"], ["play_state_playing", 1024, "0x5a5a"]]'
    check "Quit returns with the watched window's procedure back" \
      'any(.[]; .event == "quit_return" and .procedure_replaced == false)'
    check "no message box" 'all(.[]; .event != "message_box")'
    check "a screenshot is attempted" 'any(.[]; .event == "screenshot")'
    common_checks
    ;;

  probe-lifecycle)
    run lifecycle "$probe" --scenario play --duration 1000 --title "Probe Artist - Probe Song" \
      --screenshot "Z:$work/probe-frame.png"
    expect_exit 0
    [[ "$(requests_between init_call init_return)" == "[0,505,611,260,125,212]" ]] ||
      fail "Init's requests are $(requests_between init_call init_return)"
    [[ "$(requests_between quit_call quit_return)" == "[260,611]" ]] ||
      fail "Quit's requests are $(requests_between quit_call quit_return)"
    check "the embed-window function gets the record's rectangle, flags 0, no user pointer" \
      'any(.[]; .event == "embed_window" and .rect == [50, 50, 370, 290] and .flags == 0
                and .user_null)'
    check "IPC 611 registers the frame's child, then 0 unregisters it" \
      '[.[] | select(.event == "request" and .ipc == 611) | .window] == ["frame-child", "null"]'
    check "IPC 212 points at the title" \
      'any(.[]; .event == "request" and .ipc == 212 and .title == "Probe Artist - Probe Song")'
    check "Init leaves a visible frame and the procedure replaced" \
      'any(.[]; .event == "init_return" and .frame == "frame" and .frame_visible
                and .procedure_replaced)'
    check "every Render asks IPC 104 once" \
      '([.[] | select(.event == "render")] | length)
       == ([.[] | select(.event == "request" and .ipc == 104)] | length) - 2'
    check "the track notices ask for the new position's title, through the replacement" \
      '[.[] | select(.event == "request" and .ipc == 212) | .wparam] == [0, 1, 2]
       and all(.[] | select(.event == "notice"); .procedure_replaced and .result == "0x5a5a")'
    check "the stop notice makes IPC 104 answer 0 until the play notice" \
      '[.[] | select(.event == "request" and .ipc == 104) | .answer] | index("0x0") != null
       and .[-1] == "0x1"'
    check "the passed-on notices reach the watched window's own procedure in order" \
      '[.[] | select(.event == "watched_message") | [.message, .wparam, .lparam]]
       == [[666, 0, "0x40000001"], [1024, 0, "0x40000002"], [1024, 100, "0x0"],
           [1024, 100, "0x0"]]'
    check "the frame window is saved as a picture" \
      'any(.[]; .event == "screenshot" and .saved and .width > 300 and .height > 200)'
    [[ "$(head -c 8 "$work/probe-frame.png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
      fail "probe-frame.png is not a PNG"
    check "Quit destroys the frame and puts the procedure back" \
      'any(.[]; .event == "quit_return" and .frame_exists == false
                and .procedure_replaced == false)'
    common_checks
    ;;

  probe-failures)
    run old-host "$probe" --scenario init --answer 0=0x28ff
    expect_exit 5
    check "the message box is recorded with text, caption and owner, and dismissed" \
      '[.[] | select(.event == "message_box")]
       == [.[] | select(.event == "message_box")
           | select(.caption == "Stand-in probe" and .text == "probe: host too old"
                    and .owner == "host" and .dismissed_with == "ok")] and
       ([.[] | select(.event == "message_box")] | length) == 1'
    check "Quit is not called after a failed Init" 'all(.[]; .event != "quit_call")'
    run no-embed "$probe" --scenario init --answer 505=1
    expect_exit 5
    check "IPC 505 answers 1" \
      'any(.[]; .event == "message_box" and .text == "probe: no embed window")'
    run config "$probe" --scenario config
    expect_exit 0
    check "Config's dialog is dismissed and Config returns" \
      'any(.[]; .event == "config_return" and .dialogs_seen == 1)'
    run crash "$probe" --scenario init --answer 0=0x7fff0001
    expect_exit 8
    check "an access violation is reported" 'any(.[]; .event == "crash" and .code == "0xc0000005")'
    run usage "$probe" --scenario nonsense
    expect_exit 2
    run missing-dll "$work/missing.dll" --scenario records 2>/dev/null
    expect_exit 3
    ;;

  probe-watchdog)
    run hang "$probe" --scenario init --answer 0=0x7fff0000 --watchdog 1000
    expect_exit 6
    check "the watchdog ends the hung Init" \
      'any(.[]; .event == "watchdog" and .limit_ms == 1000) and .[-1].code == 6'
    ;;

  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac

((failures == 0)) && echo "OK: $case_name"
exit $((failures > 0))
