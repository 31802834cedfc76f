#!/usr/bin/env bash
# End-to-end checks of the plug-in's window under Wine: keys, player commands, the popup menu
# and the text overlays, through the player stand-in's "ui=" actions (standin/window_actions.cpp).
#
#   e2e-ui.sh CASE WINE_RUN PREFIX WIN_X64_DIR OUT_DIR
# CASE: ui-keys, ui-commands, ui-video, ui-menu, ui-screens. ui-commands runs the instrumented
# DLL (the shipped objects with counters), the others the shipped one.
# Exit: 0 passed, 1 failed, 77 skipped (nothing built, or jq missing).
set -uo pipefail
source "$(dirname "$0")/e2e-common.sh"

# jq definitions shared by the checks below.
defs='
  def pixels: [.[] | select(.event == "pixels")];
  def menus: [.[] | select(.event == "menu")];
  def requests($ipc): [.[] | select(.event == "request" and .ipc == $ipc)];
'

# Real keyboard lParams: repeat count 1, the key's scan code, and for key ups the previous
# state and transition bits; Alt keys carry the context bit.
ui-keys() {
  at=() t=400
  add() {
    at+=(--at "$t:ui=$1")
    t=$((t + ${2:-100}))
  }
  add send:256,90,0x2C0001   # Z down: to the player
  add send:257,90,0xC02C0001 # Z up: the default procedure
  add send:256,13,0x1C0001     # Enter from the keyboard: a new drawing, not full screen
  add send:273,40384           # the player's random-effect command
  add send:273,0xFFFF9DC0      # ... with 0xFFFF in the high word
  # The title and help page are drawn on the picture, whose old strokes dissolve over a
  # few seconds after they are hidden (a few grains stay longer); the message is drawn over
  # the shown picture.
  t=2600
  add send:256,32,0x390001 2500 # Space: the title (shown since Init) goes
  add pixels 100
  add send:256,32,0x390001 300  # and comes back
  add pixels 100
  add send:256,72,0x230001 300  # H: the help page
  add pixels 100
  add send:256,72,0x230001 2500 # H again: gone
  add pixels 100
  add send:256,115,0x3E0001 300 # F4: "Effect locked" in red
  add pixels 5500               # after 3 s and twelve letters, a grey "L"
  add pixels 300
  add pixels 300
  add send:256,115,0x3E0001 200 # F4: "Effect unlocked"
  add send:256,13,1 200         # a made-up Enter: full screen
  add send:256,27,0x10001 500   # Esc: back
  run_plugin keys --scenario play --signal silence --duration $((t + 300)) "${at[@]}"
  # 258: the stand-in's own message loop turns the posted key into a character.
  check "only Z goes on to the player, as a key down with its lParam; not its key up" \
    'map(select(.event == "host_message" and .message != 258) | [.message, .wparam, .lparam])
     == [[256, 90, "0x2c0001"]]'
  check "every key and command message answers 0" \
    "$defs"'all(.[] | select(.event == "ui_send"); .result == "0x0")'
  check "command 40384 sends IPC 628 with 1, also with 0xFFFF in the high word" \
    "$defs"'[requests(628)[] | .wparam] == [1, 1]'
  check "Space hides the title and shows it again" \
    "$defs"'pixels[1].title.white > 200 and pixels[0].title.white * 10 < pixels[1].title.white'
  check "H shows the help page over the picture and hides it again" \
    "$defs"'pixels[2].help.white > 200 and pixels[2].about.white > 50 and pixels[2].logo.lit == 0
             and pixels[3].help.white * 10 < pixels[2].help.white'
  check "F4 shows \"Effect locked\" in red, which shrinks to a grey L that stays" \
    "$defs"'pixels[4].message.red > 20 and pixels[5].message.red == 0 and pixels[5].message.grey > 5
             and pixels[6].message.grey > 5'
  check "only the made-up Enter goes full screen: IPC 501, then 631 with 1" \
    "$defs"'([.[] | select(.event == "ui_send" and .lparam == "0x1")][0].t) as $made_up
             | (requests(501) | length == 1 and .[0].t >= $made_up)
               and ([requests(631)[] | .wparam] | .[0] == 1)'
}

ui-commands() {
  # Each message with the number of new drawings it asks for; the first is the baseline.
  playing=(256,83,0x1F0001:0 256,13,0x1C0001:1 256,116,0x3F0001:1 256,117,0x400001:1
    260,37,0x204B0001:1 260,39,0x204D0001:1 260,33,0x20490001:1 260,34,0x20510001:1
    261,37,0xE04B0001:0 257,37,1:1 257,34,1:1 257,39,0xC14D0001:0 274,33,1:1 274,39,1:1
    273,40382:1 273,40383:1 273,40384:1 273,0xFFFF9DC0:0 273,40389:0 273,40390:0
    256,90,0x2C0001:0 256,68,0x200001:0 256,76,0x260001:0 256,82,0x130001:0 256,113,0x3C0001:0
    256,114,0x3D0001:0)
  stopped=(260,37,0x204B0001:0 260,39,0x204D0001:0 273,40382:0 273,40383:0 257,37,1:0
    256,13,0x1C0001:1 256,117,0x400001:1 273,40384:1)
  at=() want=() t=400
  for entry in "${playing[@]}" stop "${stopped[@]}" 256,115,0x3E0001:0 256,115,0x3E0001:0; do
    if [[ $entry == stop ]]; then
      at+=(--at "$t:stop")
    else
      at+=(--at "$t:ui=send:${entry%%:*}")
      want+=("${entry##*:}")
    fi
    t=$((t + 100))
  done
  want_json="[$(IFS=,; echo "${want[*]:1}")]"
  # 40389 (full screen) is answered by a video playing, so it stays in the window.
  run_plugin commands --scenario play --signal silence --duration $((t + 200)) --answer 501=2 "${at[@]}"
  check "new drawings per message: keys, Alt keys, made-up key ups and commands while playing; only Enter, F6 and 40384 when stopped" \
    "[.[] | select(.event == \"ui_send\") | .change_drawing] | [range(1; length) as \$i | .[\$i] - .[\$i - 1]]
     == $want_json"
  check "F4 locks and unlocks the effect" \
    '[.[] | select(.event == "ui_send" and .wparam == 115) | .locked] == [1, 0]'
  check "Z goes on to the player; S, D, L, R, F2, F3 and the rest are consumed" \
    '[.[] | select(.event == "host_message" and .message == 256) | .wparam] == [90]'
}

ui-video() {
  # While a video plays, neither a made-up Enter, Alt+Enter, a double click nor the player's
  # command goes full screen.
  run_plugin video --scenario play --signal silence --duration 2400 --answer 501=2 \
    --at 400:ui=send:256,13,1 --at 900:ui=send:274,0xF100,13 --at 1400:ui=send:515,1,0x280028 \
    --at 1900:fs=vis:273,40389,0
  check "four message boxes say so, owned by the player's window" \
    '[.[] | select(.event == "message_box") | [.caption, .text, .owner]]
     == [range(4) | ["VOzo", "Can'"'"'t go fullscreen while video is playing", "host"]]'
  check "the player is not told of full screen; no full-screen window" \
    'all(.[]; .event != "request" or .ipc != 631)
     and all(.[] | select(.event == "fs"); .window == false)'
}

ui-menu() {
  # Show Title's effect is looked at after the hidden title's strokes have dissolved.
  run_plugin menu --scenario play --signal silence --duration 8600 \
    --at 300:ui=settings:clear --at 500:ui=menu:dismiss --at 900:ui=settings:check \
    --at 1000:ui=settings:clear --at 1200:ui=menu:choose=8 --at 1600:ui=menu:choose=9 \
    --at 2000:ui=settings:check \
    --at 2200:ui=menu:choose=4 --at 2600:ui=menu:choose=7 \
    --at 3000:ui=menu:choose=5 --at 3400:ui=pixels \
    --at 3700:ui=menu:choose=6 --at 6400:ui=pixels --at 6600:ui=menu:choose=1 \
    --at 6700:ui=send:512,0,0x000A000A \
    --at 7000:stop --at 7400:ui=menu:dismiss --at 7800:ui=menu:choose=11 \
    --at 8000:ui=send:512,0,0x000A000A --at 8100:ui=send:512,0,0x000A0190 \
    --at 8200:ui=send:512,0,0x0190000A
  texts='["To player menu","","Help\t   H","Website (more plugins, FAQ)","Show Title\t   Space","",
          "Chnage drawing\t   F6","Lock effect\t   F4","","Save effect\t   S","Load effect\t   L","",
          "Options\t"]'
  check "the menu has the thirteen entries, texts and ids exactly" \
    "[.[] | select(.event == \"menu\")] | length == 10 and all(.[];
       .found and ([.items[] | .text] == $texts)
       and ([.items[] | .id] == [7,0,5,10,6,0,1,4,0,8,9,0,11])
       and ([.items[] | .separator] == [false,true,false,false,false,true,false,false,true,false,false,true,false]))"
  check "while playing nothing is grey; the lock's check mark follows the lock" \
    "$defs"'[menus[0:8][] | [.items[] | .grey] | any] == [false,false,false,false,false,false,false,false]
             and [menus[0:8][] | .items[7].checked] == [false,false,false,false,true,true,true,true]'
  check "while stopped Help, Show Title, Chnage drawing, Lock, Save and Load are grey, the rest not" \
    "$defs"'(menus | length == 10)
             and ([menus[8:][] | [.items[] | .grey]] | all(. == [false,false,true,false,true,false,true,true,false,true,true,false,false]))
             and all(menus[8:][]; .items[7].checked)'
  check "dismissing writes the settings file; Save and Load effect write nothing" \
    '[.[] | select(.event == "settings_file") | [.action, .exists]]
     == [["clear", false], ["check", true], ["clear", false], ["check", false]]'
  check "To player menu posts a right button up to the player" \
    '[.[] | select(.event == "host_message") | [.message, .wparam, .lparam]] == [[517, 0, "0x0"]]'
  check "the hand cursor over the about text only when it is on screen (stopped, or help shown)" \
    '[.[] | select(.event == "ui_send" and .message == 512) | .cursor] == ["hand", "hand", "arrow", "arrow"]'
  check "Help shows the help page; Show Title hides the title shown since Init" \
    "$defs"'pixels[0].help.white > 200 and pixels[0].title.white > 200
             and pixels[1].title.white * 10 < pixels[0].title.white'
}

ui-screens() {
  # Pictures for a person to look at: the help page over the effects, the about screen.
  run_plugin screens --scenario play --signal beats --duration 4200 --title "Stand-in Artist - Beats" \
    --at 1800:ui=send:256,72,0x230001 --at 2400:screenshot="Z:$work/help-page.bmp" \
    --at 3000:stop --at 3600:ui=pixels --at 3700:screenshot="Z:$work/about-screen.bmp"
  check "the about screen with its logo when stopped" \
    "$defs"'pixels[0].about.white > 50 and pixels[0].logo.lit > 500 and pixels[0].help.white == 0'
  for shot in help-page about-screen; do convert "$work/$shot".{bmp,png} || fail "no $shot"; done
}

e2e_main 2,8 ui-commands "$@"
