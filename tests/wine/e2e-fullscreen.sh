#!/usr/bin/env bash
# End-to-end checks of full screen and the options dialog: the player stand-in loads the x64
# plug-in (a private copy, so its settings file is the run's own) and asks for full screen the
# ways a person and the player do; the JSON-lines log is checked with jq.
#
#   e2e-fullscreen.sh CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# CASE: fullscreen-config, fullscreen-switch, fullscreen-bad-mode (the instrumented DLL, whose
# error reports show the failed entry).
# Exit: 0 passed, 1 failed, 77 skipped (nothing built, or jq missing).
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"

# The settings file of a short run, with the mode chosen for the display adapter (record 0,
# the adapter on the window's monitor) set to WIDTH x HEIGHT at the default refresh rate.
seed_settings() {
  run_plugin seed --scenario play --duration 300
  settings=$work/Vevirur2.ini
  [[ -f "$settings" ]] || fail "no settings file after Quit"
  sed -i -e "s/^fs_width_0=.*/fs_width_0=$1/" -e "s/^fs_height_0=.*/fs_height_0=$2/" \
    -e 's/^fs_refresh_0=.*/fs_refresh_0=0/' "$settings"
}

notices='[.[] | select(.event == "request" and .ipc == 631) | .wparam]'

fullscreen-config() {
  run_plugin idle --scenario config
  check "Config without Init opens the dialog, owned by the player's main window" \
    '[.[] | select(.event == "message_box") | [.caption, .owner]]
     == [["Zoduro2 Properties", "host"]]'
  run_plugin playing --scenario play --duration 1500 --at 500:config
  # A dialog's owner is a top-level window: the system takes the visualization window's frame.
  check "Config while running opens it owned by the visualization window (its frame)" \
    '[.[] | select(.event == "message_box") | [.caption, .owner]]
     == [["Zoduro2 Properties", "frame"]]'
}

fullscreen-switch() {
  seed_settings 1024 768
  enter=(515,1,0 274,0xF100,13 273,40389,0 273,40389,0 273,40389,0)
  leave=(256,27,0 274,0xF100,13 260,115,0 513,1,0 6,0,0)
  # In by a double click, Alt+Enter and the player's command; out by Esc, Alt+Enter, Alt+F4,
  # a click (press and release) and deactivation.
  # Each round: in at T, out at T + 500. While playing the leave waits for the next Render,
  # which the round makes itself, so that a loaded machine running the actions in one go
  # still sees it before the next round.
  actions=()
  for i in 0 1 2 3 4; do
    t=$((500 + i * 1300))
    actions+=(--at "$t:fs=vis:${enter[i]}" --at "$((t + 300)):fs=state")
    # The first round shows some frames (the switch restarted the draw thread), takes a
    # picture of the screen and presses PLUS.
    if ((i == 0)); then
      for r in 1 2 3 4 5 6 7 8; do actions+=(--at "$((t + 300 + r * 5)):fs=render"); done
      actions+=(--at "$((t + 350)):fs=shot=Z:$work/full-screen.bmp" --at "$((t + 400)):fs=key:258,43,0")
    fi
    [[ ${leave[i]} == 513,1,0 ]] && actions+=(--at "$((t + 450)):fs=key:513,1,0") &&
      leave[i]=514,0,0
    actions+=(--at "$((t + 500)):fs=key:${leave[i]}" --at "$((t + 510)):fs=render"
      --at "$((t + 520)):fs=state")
  done
  for t in 7600 7700 7800 7900; do actions+=(--at "$t:fs=render"); done
  run_plugin switch --scenario play --signal tone --duration 8000 --watchdog 80000 "${actions[@]}"
  check "each way in and out tells the player: IPC 631 with 1, then with 0, five times" \
    "$notices == [1,0,1,0,1,0,1,0,1,0]"
  check "each entry shows the full-screen window over the whole 1024x768 display" \
    '[.[] | select(.event == "fs" and (.action | startswith("vis:")))
     | [.window, .title, .width, .height]] == [range(5) | [true, "Vevirur Full screen", 1024, 768]]'
  check "in full screen until the leave's Render, windowed after it" \
    '[.[] | select(.event == "fs" and .action == "state") | .window]
     == [true, false, true, false, true, false, true, false, true, false]'
  check "while playing the leave waits for the next Render" \
    '[.[] | select(.event == "fs" and (.action | startswith("key:")) and .action != "key:258,43,0"
                   and .action != "key:513,1,0") | .window] == [true, true, true, true, true]'
  check "the display mode stays the screen's own" \
    'all(.[] | select(.event == "fs"); .screen_width == 1024 and .screen_height == 768)'
  check "the visualization goes on in the window after the last leave" \
    '[.[] | select(.event == "fs" and .action == "render")][-4:]
     | all(.window == false and .result == "0x0") and (map(.hash) | unique | length > 1)'
  check "no message box" 'all(.[]; .event != "message_box")'
  lit=$(convert "$work/full-screen.bmp" -format '%[fx:mean>0.0005]' info: 2>/dev/null)
  [[ "$lit" == 1 ]] || fail "the screen shows no picture in full screen"
  grep -q '^DDGammaRamp=208' "$settings" || fail "PLUS did not raise the stored gamma to 208"
}

fullscreen-bad-mode() {
  seed_settings 800 600
  run_plugin bad-mode --scenario play --duration 2000 --watch-pixels --at 500:fs=vis:273,40389,0 \
    --at 800:fs=state
  check "a mode the adapter does not offer: still windowed, the display untouched" \
    'all(.[] | select(.event == "fs"); .window == false and .screen_width == 1024)'
  check "the player heard of the entry only" "$notices == [1]"
  check "no message box" 'all(.[]; .event != "message_box")'
  check "the failure goes to the error report as \"Go FS DxInit fail\"" \
    'any(.[] | select(.event == "render"); .last_error == "Go FS DxInit fail")'
  check "the visualization goes on in the window" \
    '[.[] | select(.event == "render" and .t > 1000) | .hash] | unique | length > 3'
}

e2e_main 2,9 fullscreen-bad-mode "$@"
