#!/usr/bin/env bash
# End-to-end checks of the plug-in's host side under Wine: Init's requests and failures, a
# full session read back from the window's pixels, the instrumented DLL's counters (about
# screens, new-effect requests, a processor fault inside a frame, the paint path), and
# repeated Init/Quit cycles.
#
#   e2e-host.sh CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# CASE: host-version, host-session, host-counters (the instrumented DLL), host-cycles.
# Exit: 0 passed, 1 failed, 77 skipped (nothing built, or jq missing).
# host-session leaves OUT_DIR/host-session/vevirur2-standin.png, the frame window with the
# running visualization (the stand-in saves it as BMP).
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"

# The IPC numbers asked for between the first events named $1 and $2.
requests_between() {
  jq -s -c --arg from "$1" --arg to "$2" \
    '(map(.event) | index($from)) as $a | (map(.event) | index($to)) as $b
     | .[$a:$b] | map(select(.event == "request") | .ipc)' "$log"
}

too_old='This plugin requires Winamp2 v2.9+ or Winamp5 v5.0+'
area=$((640 * 480))  # the visualization window's client area at the default placement

host-version() {
  # answer, exit code (run_plugin's want_exit), Init's requests
  while read -r answer want_exit want_requests; do
    run_plugin "answer-${answer/=/-}" --scenario init --answer "$answer"
    [[ "$(requests_between init_call init_return)" == "$want_requests" ]] ||
      fail "$answer: Init's requests are $(requests_between init_call init_return)"
    # Init's result is the exit code's: 0, or 1 for exit code 5.
    if ((want_exit == 5)); then
      check "$answer: one message box, owned by the player, captioned with the module; no windows" \
        '[.[] | select(.event == "message_box") | [.text, .caption, .owner]]
         == [[$text, "Vevirur 2", "host"]] and all(.[]; .event != "embed_window")
         and any(.[]; .event == "init_return" and .result == 1 and .frame == "null"
                      and .class_registered == false)' --arg text "$too_old"
    else
      check "$answer: no message box" 'all(.[]; .event != "message_box")'
    fi
  done <<'TABLE'
0=0x28ff 5 [0]
0=0x2900 0 [0,505,611,260,125,212]
505=0 5 [0,505]
505=1 5 [0,505]
TABLE
}

host-session() {
  shot=$work/vevirur2-standin
  run_plugin session --scenario render --signal beats --duration 10000 --watch-pixels \
    --at 2500:track=1 --at 3500:notice=666,0,5 --at 6000:stop --at 7000:play \
    --at "9500:screenshot=Z:$shot.bmp"
  check 'header 0x101 and module 0 "Vevirur 2", latency 0, delay 25, one channel each; no module 1' \
    'any(.[]; .event == "header" and .version == "0x101" and .description == "Vevirur 2" and .module
      == .description and .latency_ms == 0 and .delay_ms == 25 and .spectrum_nch == 1
      and .waveform_nch == 1 and .user_data_null and .module_1_null)'
  [[ "$(requests_between quit_call quit_return)" == "[260,611]" ]] ||
    fail "Quit's requests are $(requests_between quit_call quit_return)"
  # A loaded machine calls Render less often than every 25 ms; 150 calls are enough to judge.
  check "every Render within 100 ms (at most 50 ms of waiting), no message box" \
    'all(.[]; .event != "message_box") and ([.[] | select(.event == "render")] | length > 150
     and all(.[]; .ms <= 100))'
  # Frames while playing: the time of the stop notice bounds the first playing stretch. The
  # governor aims at 30 a second and corrects once a second, so a stretch may run above 30;
  # 40 (one frame per host call) is the most the player's calls can show.
  check "the picture then moves at about 30 frames a second" \
    '(.[] | select(.event == "notice" and .kind == "play_state_stopped") | .t) as $stop
     | [.[] | select(.event == "render" and .n >= 2 and .t < $stop)] as $r
     | ([range(1; $r | length) | select($r[.].hash != $r[. - 1].hash)] | length)
       / (($r[-1].t - $r[0].t) / 1000)
     | . >= 15 and . <= 40'
  check "the moving picture is not black" \
    '[.[] | select(.event == "render") | .lit] | max > $area / 10' --argjson area $area
  check "paused: one unchanging about screen until the play notice" \
    '(.[] | select(.event == "notice" and .kind == "play_state_stopped") | .t) as $stop
     | (.[] | select(.event == "notice" and .kind == "play_state_playing") | .t) as $play
     | [.[] | select(.event == "render" and .t > $stop + 100 and .t < $play)]
     | length > 10 and (map(.hash) | unique | length) == 1 and all(.lit < $area / 20)' \
    --argjson area $area
  check "resumed: the picture moves again" \
    '(.[] | select(.event == "notice" and .kind == "play_state_playing") | .t) as $play
     | [.[] | select(.event == "render" and .t > $play + 500) | .hash] as $h
     | [range(1; $h | length) | select($h[.] != $h[. - 1])] | length >= 10'
  check "the title is asked for at Init and for the new track only (bit 30)" \
    '[.[] | select(.event == "request" and .ipc == 212) | .wparam] == [0, 1]'
  check "every notice reaches the watched window's own procedure, in order" \
    '[.[] | select(.event == "watched_message") | [.message, .wparam, .lparam]]
     == [[666, 0, "0x40000001"], [666, 0, "0x5"], [1024, 100, "0x0"], [1024, 100, "0x0"]]
     and all(.[] | select(.event == "notice"); .procedure_replaced and .result == "0x5a5a")'
  check "Quit leaves nothing: procedure back, windows gone, class unregistered" \
    'any(.[]; .event == "quit_return" and .procedure_replaced == false
              and .frame_exists == false and .vis_window_exists == false
              and .class_registered == false)'
  convert "$shot.bmp" "$shot.png" || fail "the screenshot $shot.bmp is not saved"
  # The settings file written at Quit (the key order and section are the settings tests')
  # holds the frame's placement: where the player put it, its size the window's (or the
  # frame's, borders included).
  placement=$(tr -d '\r' <"$work/Vevirur2.ini" | sed -n 's/^Screen_[a-z]*=//p' | tr '\n' ' ')
  read -r x y width height <<<"$placement"
  ((x == 50 && y == 50 && width >= 640 && width <= 700 && height >= 480 && height <= 560)) ||
    fail "frame placement in the settings: $placement"
}

host-counters() {
  long_title=$(printf 'Long Title %.0s' {1..40})  # 440 bytes
  run_plugin counters --scenario render --signal beats --duration 6000 \
    --watch-pixels --title "$long_title" \
    --at 1000:track=1 --at 1500:notice=666,0,5 --at 2500:fault --at 4000:paint
  # Each Render's own effect: the counters just before and just after the call. The window's
  # paint message may start the draw thread before the first Render; then only the resume
  # is a Render's.
  check "the draw thread is started once and resumed once" \
    '[.[] | select(.event == "render")][-1] | .starts == 1 and .resumes == 1'
  check "the Render that starts the draw thread while playing draws nothing" \
    'all(.[] | select(.event == "render" and .starts > .starts_before); .about == .about_before)'
  check "the call that resumes the draw thread draws the about screen first" \
    '[.[] | select((.event == "render" or .event == "paint") and .resumes > .resumes_before)]
     | length == 1 and all(.about == .about_before + 1)'
  check "while playing, no later Render draws the about screen" \
    '[.[] | select(.event == "render" and .resumes_before == 1)]
     | length > 100 and all(.about == .about_before)'
  check "a paint message while playing shows the about screen and clears the play flag" \
    'any(.[]; .event == "paint" and .done and .about == .about_before + 1 and .playing == 0)'
  check "the next Render sets the play flag again" \
    '(.[] | select(.event == "paint") | .t) as $paint
     | [.[] | select(.event == "render" and .t > $paint)][0].playing == 1'
  check "a title longer than the buffer is cut to 255 bytes" \
    '[.[] | select(.event == "render")][-1].title == $title[0:255]' --arg title "$long_title"
  check "a track notice with bit 30 asks for a new effect, one without does not" \
    '[.[] | select(.event == "notice") | .new_effect] as [$track, $raw]
     | (.[] | select(.event == "notice" and .kind == "track") | .t) as $t
     | [.[] | select(.event == "render" and .t < $t)][-1].new_effect + 1 == $track
       and $raw == $track'
  check "no error before the fault" \
    '(.[] | select(.event == "fault") | .t) as $fault
     | all(.[] | select(.event == "render" and .t < $fault); .errors == 0)'
  check "the planted null write is reported as a draw thread exception" \
    'any(.[]; .event == "fault" and .planted)
     and ([.[] | select(.event == "render")][-1]
          | .faults == 1 and .errors >= 1 and .last_error == "Draw thread exception")'
  check "the draw thread goes on drawing after the fault" \
    '[.[] | select(.event == "render" and .faults == 1)] as $after
     | $after[-1].lines > $after[0].lines + 1000
       and ([range(1; $after | length) | select($after[.].hash != $after[. - 1].hash)]
            | length >= 10)'
}

host-cycles() {
  run_plugin cycles --scenario render --signal beats --cycles 20 --duration 300
  # Exit code 0: every Init returned 0.
  check "twenty cycles" '[.[] | select(.event == "cycle")] | length == 20'
  # The first cycle warms up the runtime; from the second on nothing may grow.
  check "handles, windows and memory stay flat over the cycles" \
    '[.[] | select(.event == "cycle")] as $c
     | $c[-1].handle_probe - $c[1].handle_probe <= 8
       and ($c[1:] | map(.windows) | unique | length) == 1
       and $c[-1].committed_kb - $c[1].committed_kb <= 1024'
}

e2e_main 2,11 host-counters "$@"
