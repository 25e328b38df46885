#!/usr/bin/env bash
# Drives the tavvo program as a script would: exit statuses, output,
# files and permissions in a temporary folder.
set -u
tavvo=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

program_name=tavvo
source "$(dirname "$0")/commandLineTestSupport.sh"

cat >"$work/in.json" <<'JSON'
{"schemaVersion":4,"generatedAt":"2026-01-31T10:05:00+01:00","unknown":1,
 "providers":[{"id":"claude","title":"Claude","status":"available","updatedAt":"2026-01-31T09:00:00Z",
   "limits":[{"id":"claude.five_hour","title":"5h","remainingPercent":42}]}]}
JSON
normalized='{
  "generatedAt": "2026-01-31T09:05:00Z",
  "providers": [
    {
      "id": "claude",
      "limits": [
        {
          "id": "claude.five_hour",
          "remainingPercent": 42,
          "title": "5h"
        }
      ],
      "observedAt": "2026-01-31T09:00:00Z",
      "status": "available",
      "title": "Claude"
    }
  ],
  "schemaVersion": 4
}'

# Help and the usage errors of every command line are the command-line
# layer's and the manual pages' tests; a group without its command still
# shows its help.
check "help of a group" 0 "$tavvo" language

check "normalize a file" 0 "$tavvo" snapshot normalize "$work/in.json"
expect_output "normalize a file" "$normalized"
check "normalize standard input" 0 sh -c "'$tavvo' snapshot normalize - <'$work/in.json'"
expect_output "normalize standard input" "$normalized"
check "normalize a missing file" 66 "$tavvo" snapshot normalize "$work/missing.json"
expect_error_line "missing file"
echo '{"generatedAt":"yesterday"}' >"$work/bad.json"
check "normalize a bad document" 65 "$tavvo" snapshot normalize "$work/bad.json"
expect_error_line "bad document"

base=$work/base
check "path creates nothing" 0 "$tavvo" snapshot path --base-dir "$base"
expect_output "path" "$base/Widget/current-limits.json"
[ ! -e "$base" ] || { failed=$((failed + 1)); echo "FAIL: path created $base"; }
check "read before any write" 3 "$tavvo" --base-dir "$base" snapshot read
check "write" 0 "$tavvo" snapshot write "$work/in.json" --base-dir="$base"
[ "$(stat -c %a "$base/Widget")" = 700 ] && [ "$(stat -c %a "$base/Widget/current-limits.json")" = 600 ] \
  && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: permissions"; }
check "read back" 0 "$tavvo" snapshot read --base-dir "$base"
expect_output "read back" "$normalized"

# Standard input beyond what a command takes is refused one byte past its
# limit, never read whole: 300 MB of zeros must cost no more memory than
# the limit (16 MB at most) over what one byte of input costs the same
# program, 24 MB to spare. That is under 32 MB in all in a plain build; a
# sanitizer's own memory is in both figures. The peak is the kernel's
# accounting of the child (wait4), not a timing.
fed_zeros() { # size, command...: runs it on that many zeros; prints its exit status and peak resident kB
  python3 - "$work/err" "$@" <<'PY'
import os, subprocess, sys
zeros = subprocess.Popen(["head", "-c", sys.argv[2], "/dev/zero"], stdout=subprocess.PIPE)
with open(sys.argv[1], "w") as errors:
    child = subprocess.Popen(sys.argv[3:], stdin=zeros.stdout, stdout=subprocess.DEVNULL, stderr=errors)
zeros.stdout.close()
_, status, usage = os.wait4(child.pid, 0)
child.returncode = os.waitstatus_to_exitcode(status)
zeros.kill()
zeros.wait()
print(child.returncode, usage.ru_maxrss)
PY
}
for command in "snapshot write - --base-dir $work/huge" "snapshot normalize -" "claude-statusline"; do
  # shellcheck disable=SC2086 # the words of the command
  read -r _ alone < <(XDG_STATE_HOME=$work/state fed_zeros 1 "$tavvo" $command)
  # shellcheck disable=SC2086
  read -r status peak < <(XDG_STATE_HOME=$work/state fed_zeros 300M "$tavvo" $command)
  if [ "$status" = 1 ] && [ $((peak - alone)) -lt $((24 * 1024)) ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAIL: $command on 300 MB: status $status, peak $peak kB, $alone kB on one byte"; fi
  expect_error_line "$command on 300 MB"
done
[ ! -e "$work/huge" ] || { failed=$((failed + 1)); echo "FAIL: a refused input was stored"; }

sed 's/"schemaVersion":4/"schemaVersion":3/' "$work/in.json" >"$work/v3.json"
check "write another version" 0 "$tavvo" --base-dir "$base" snapshot write "$work/v3.json"
grep -q 'warning' "$work/err" || { failed=$((failed + 1)); echo "FAIL: no warning for version 3"; }
check "read another version" 3 "$tavvo" --base-dir "$base" snapshot read

check "the container by group" 0 "$tavvo" --app-group group.test snapshot path
expect_output "the container by group" "$XDG_DATA_HOME/group.test/Widget/current-limits.json"
check "no container" 1 env -u XDG_DATA_HOME -u HOME "$tavvo" --app-group group.test snapshot path
expect_error_line "no container"

check "no override yet" 3 "$tavvo" language get
check "set an override" 0 "$tavvo" language set fr-CA
expect_output "set an override" "fr"
check "get it" 0 "$tavvo" language get
expect_output "get it" "fr"
check "resolved" 0 "$tavvo" language resolved
expect_output "resolved" "fr"
check "clear" 0 "$tavvo" language clear
check "resolved from the environment" 0 env LANG=ru_RU.UTF-8 "$tavvo" language resolved
expect_output "resolved from the environment" "ru"
check "list" 0 "$tavvo" language list
expect_output "list" "$(printf 'en\tEnglish\nru\tРусский\nzh-Hans\t简体中文\nfr\tFrançais\nes\tEspañol')"
check "app group with language" 2 "$tavvo" --app-group g language get
check "set without code" 2 "$tavvo" language set

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
