#!/bin/sh
# Writes one manual page: scdoc's roff, compressed the way Debian wants,
# with the same bytes from every build of the same source.
# Arguments: scdoc, the .scd source, the roff to write, gzip, the page.
set -e
scdoc=$1 source=$2 roff=$3 gzip=$4 page=$5

# The page's date: SOURCE_DATE_EPOCH when a package build sets it, else
# the time of the source's last commit, rather than the day of the build.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$(dirname "$source")" log -1 --format=%ct -- "$source" 2>/dev/null || true)
fi
if [ -n "$SOURCE_DATE_EPOCH" ]; then export SOURCE_DATE_EPOCH; fi

# Each step is checked (no pipe), so that a page scdoc refuses fails the
# build instead of leaving an empty archive.
"$scdoc" <"$source" >"$roff"
# scdoc turns hyphenation off before .TH, which turns it on again, and
# paths broke at made-up hyphens ("~/.lo-cal"); it is turned off after.
sed -i '/^\.TH /a .nh' "$roff"
# -n leaves out the name and time gzip would otherwise record.
"$gzip" -9n <"$roff" >"$page"
