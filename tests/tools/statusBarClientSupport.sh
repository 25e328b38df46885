# What the tests of `tavvo-widget bar` inside real status bars share. The
# sourcing script sets $work (a scratch folder, removed by its trap); the
# snapshot folder is $base, the installed examples are under $examples.
source "$(dirname "${BASH_SOURCE[0]}")/commandLineTestSupport.sh"
base=$work/base
umask 022
mkdir -p "$base/Widget"

# One provider of a snapshot, observed now and fresh for an hour.
# Arguments: id, title, limit id, limit title, remaining percent ("-" for
# limits unknown).
provider_json() {
  local limits="[]"
  [ "$5" != - ] && limits="[{\"id\": \"$3\", \"title\": \"$4\", \"remainingPercent\": $5}]"
  printf '{"id": "%s", "title": "%s", "status": "available", "observedAt": "%s", "freshUntil": "%s", "limits": %s}' \
    "$1" "$2" "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$(date -u -d '+1 hour' +%Y-%m-%dT%H:%M:%SZ)" "$limits"
}

# Publishes a snapshot the way a host program does: written beside the
# file, then renamed over it, so that a watcher sees one replacement.
# Arguments: Codex's and Claude's remaining percent.
publish() {
  printf '{"schemaVersion": 4, "generatedAt": "%s", "providers": [%s, %s]}\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" \
    "$(provider_json codex "Codex Pro" codex.weekly Weekly "$1")" \
    "$(provider_json claude Claude claude.five_hour 5h "$2")" >"$base/Widget/.next.json"
  mv -f "$base/Widget/.next.json" "$base/Widget/current-limits.json"
}

# A desktop's own tavvo-widget, for the front of its PATH: the build's,
# reading this test's snapshot folder. Argument: the folder to put it in.
put_widget_in() {
  mkdir -p "$1"
  printf '#!/bin/sh\nexec %s --base-dir %s "$@"\n' "$widget" "$base" >"$1/tavvo-widget"
  chmod +x "$1/tavvo-widget"
}

# How long a bar may take to follow a change. How soon the watcher prints
# one is statusBarWatchTest.sh's to hold; this only bounds the wait, with
# room for a bar's own redraw and OCR on a busy machine.
follows=5

# How many `bar` commands of this test run, as the clients started them.
running_watchers() { pgrep -f -- "^$widget --base-dir $base bar" | wc -l; }
no_watchers() { [ "$(running_watchers)" -eq 0 ] || { seen="$(running_watchers) watchers"; false; }; }

# The example's command line with the build's program and the scratch
# snapshot folder in place of the installed program. Arguments: example
# file; prints its text.
example_for_test() {
  sed "s|tavvo-widget |$widget --base-dir $base |g" "$1"
}

# What a screenshot shows. The text by OCR: on the dark bars of these tests,
# every glyph, whatever its colour, turned black on white and enlarged.
ocr() { # image
  convert "$1" -colorspace gray -level 10%,50% -negate -resize 400% png:- | tesseract stdin stdout --psm 7 2>/dev/null
}
color_pixels() { # image, colour: how many of its pixels have exactly that colour
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}
# Whether the text holds every phrase (OCR reads "·" in many ways: the
# phrases around it are compared, not the separators). A phrase must stand
# alone: "5%" is not found in "45%".
has_phrases() { # text, phrases...
  local text=" $1 " phrase; shift
  for phrase in "$@"; do [[ $text == *[^[:alnum:]]"$phrase"[^[:alnum:]]* ]] || return 1; done
}
# How a test reads its bar's text: OCR as above, unless it says otherwise.
bar_text() { ocr "$1"; }
# The bar shows two colours, each on more than 20 pixels, and the
# phrases; the test defines `screenshot`, which writes $work/bar.png. The
# colours are counted first: it is quick, and OCR is only worth running
# once they are there.
shows() { # colour, colour, phrases...
  screenshot || return 1
  local first second
  first=$(color_pixels "$work/bar.png" "$1") second=$(color_pixels "$work/bar.png" "$2")
  seen="$first pixels of $1, $second of $2"
  [ "$first" -gt 20 ] && [ "$second" -gt 20 ] || return 1
  local text; text=$(bar_text "$work/bar.png")
  seen="$text, $seen"
  shift 2
  has_phrases "$text" "$@"
}
# Clutter, which draws GNOME Shell's and Cinnamon's panels, draws text
# through premultiplied alpha: a colour comes out up to one level lower in
# each channel (#F4FC40 as #F3FB3F), so pixels are counted within that
# distance, far closer than any two severities are.
shell_color_pixels() { # image, colour
  convert "$1" -fuzz 1% -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}
# `shows` for a panel Clutter draws: both colours on more than 20 pixels
# within that distance, and the phrases read back.
shell_shows() { # colour, colour, phrases...
  screenshot || return 1
  local first second text
  first=$(shell_color_pixels "$work/bar.png" "$1") second=$(shell_color_pixels "$work/bar.png" "$2")
  seen="$first pixels of $1, $second of $2"
  [ "$first" -gt 20 ] && [ "$second" -gt 20 ] || return 1
  text=$(bar_text "$work/bar.png")
  seen="$text, $seen"
  shift 2
  # OCR drops a space here and there, in italics most: then compared
  # without any.
  local phrases=("${@// /}")
  has_phrases "$text" "$@" || has_phrases "${text// /}" "${phrases[@]}"
}
keep() { # name: keeps the last screenshot when asked to
  [ -n "${TAVVO_TEST_SCREENSHOTS:-}" ] && mkdir -p "$TAVVO_TEST_SCREENSHOTS" && cp "$work/bar.png" "$TAVVO_TEST_SCREENSHOTS/$1.png"
}
# The severity colours the bars must show: the dark appearance's.
ok='#75FA91' watch='#F4FC40' tight='#EA541E' critical='#FA3C2D'

report() { # name of the test
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
