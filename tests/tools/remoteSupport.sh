# A real OpenSSH server on the loopback for the tests of collecting over
# SSH, sourced by them after commandLineTestSupport.sh. The sourcing script
# sets $work (a scratch folder) and $tavvo (the program the remote users
# run), calls remote_start, and remote_cleanup from its EXIT trap before it
# removes $work.
#
# As root, two unprivileged users are made for the run, each with a home in
# $work that holds what the services leave there. Two sshd servers of the
# test's own (each its own config and port on 127.0.0.1, a host key, log
# and pid file in $work) let them in with a key made here: "remote", the
# machine the tests stop and start again, and "standins", for the stand-in
# remote programs that run beside it. The client side is an ssh config file
# with the aliases below, and a wrapper to pass as `--ssh-program`: ssh
# reads ~/.ssh/config from the passwd home, not from $HOME, so the test
# cannot hand it one any other way. Nothing listens beyond the loopback.
#
#   tavvo-remote, tavvo-remote-2   the first and the second user, on "remote"
#   standin-KIND                   the second user on "standins", with
#                                  TAVVO_STANDIN=KIND in the session
#   tavvo-unreachable              a port of the loopback where nothing listens
#
# Without root, or when no user can be made, the test is skipped (77).

ssh_folder=$work/ssh
ssh_program=$ssh_folder/ssh
remote_users=()
declare -A ssh_ports=() sshd_pids=()

# The homes, in the order of the aliases.
remote_home=$work/remote-home remote_home_2=$work/remote-home-2

remote_skip() { echo "SKIP: $1"; remote_cleanup; rm -rf "$work"; exit 77; }

# A command as a remote user, in that user's home: what the user's own
# tools would do on that machine. Arguments: user, command...
as_remote_user() {
  local user=$1; shift
  setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
    env -i HOME="$(getent passwd "$user" | cut -d: -f6)" PATH=/usr/bin:/bin LANG=C.UTF-8 TZ=UTC "$@"
}

make_remote_user() { # home
  local user=tavvo-ssh-$$-${#remote_users[@]}
  useradd --system --home-dir "$1" --create-home --shell /bin/sh --password '*' "$user" 2>"$work/useradd.err" ||
    remote_skip "no user could be made for the SSH server: $(cat "$work/useradd.err")"
  # '*' rather than useradd's '!': without PAM, sshd takes '!' for a locked account.
  remote_users+=("$user")
  install -d -m 700 -o "$user" -g "$(id -g "$user")" "$1/.ssh"
  install -m 600 -o "$user" -g "$(id -g "$user")" "$ssh_folder/id_ed25519.pub" "$1/.ssh/authorized_keys"
}

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

remote_start() {
  [ "$(id -u)" -eq 0 ] || remote_skip "the SSH server test makes its own users, which needs root"
  [ -x /usr/sbin/sshd ] || remote_skip "no /usr/sbin/sshd (Debian's openssh-server)"
  chmod 755 "$work"
  mkdir -m 700 "$ssh_folder"
  ssh-keygen -q -t ed25519 -N '' -C tavvo-test-client -f "$ssh_folder/id_ed25519" || remote_skip "ssh-keygen failed"
  ssh-keygen -q -t ed25519 -N '' -C tavvo-test-host -f "$ssh_folder/host_ed25519" || remote_skip "ssh-keygen failed"
  make_remote_user "$remote_home"
  make_remote_user "$remote_home_2"
  # The users run the program where it was built; a checkout below a
  # private folder keeps it out of their reach.
  as_remote_user "${remote_users[0]}" test -x "$tavvo" ||
    remote_skip "${remote_users[0]} cannot run $tavvo: a folder above it is private"
  # sshd checks its privilege separation folder (Debian's service makes it at boot).
  [ -d /run/sshd ] || install -d -m 755 /run/sshd

  local server
  for server in remote standins; do
    ssh_ports[$server]=$(free_port)
    sshd_config "$server" >"$ssh_folder/sshd-$server.config"
    /usr/sbin/sshd -t -f "$ssh_folder/sshd-$server.config" 2>"$work/sshd.err" ||
      remote_skip "sshd refuses its config: $(cat "$work/sshd.err")"
    printf '[127.0.0.1]:%s %s\n' "${ssh_ports[$server]}" "$(cut -d' ' -f1,2 "$ssh_folder/host_ed25519.pub")"
  done >"$ssh_folder/known_hosts"
  {
    printf 'Host tavvo-remote\n  User %s\n  Port %s\n' "${remote_users[0]}" "${ssh_ports[remote]}"
    printf 'Host tavvo-remote-2\n  User %s\n  Port %s\n' "${remote_users[1]}" "${ssh_ports[remote]}"
    printf 'Host standin-*\n  User %s\n  Port %s\n' "${remote_users[1]}" "${ssh_ports[standins]}"
    printf 'Host tavvo-unreachable\n  Port %s\n' "$(free_port)"
    printf 'Host *\n'
    printf '  HostName 127.0.0.1\n  IdentityFile %s\n  IdentitiesOnly yes\n' "$ssh_folder/id_ed25519"
    printf '  UserKnownHostsFile %s\n  GlobalKnownHostsFile /dev/null\n  StrictHostKeyChecking yes\n' "$ssh_folder/known_hosts"
  } >"$ssh_folder/config"
  # Each stand-in alias tells the session which kind of stand-in it is.
  local kind
  for kind in ${standin_kinds:-}; do
    printf 'Host standin-%s\n  SetEnv TAVVO_STANDIN=%s\n' "$kind" "$kind"
  done >>"$ssh_folder/config"
  printf '#!/bin/sh\nexec ssh -F %q "$@"\n' "$ssh_folder/config" >"$ssh_program"
  chmod 755 "$ssh_program"
  sshd_start remote
  sshd_start standins
}

sshd_config() { # server
  cat <<CONFIG
ListenAddress 127.0.0.1
Port ${ssh_ports[$1]}
HostKey $ssh_folder/host_ed25519
PidFile $ssh_folder/sshd-$1.pid
LogLevel VERBOSE
AllowUsers ${remote_users[*]}
AuthenticationMethods publickey
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
UseDNS no
PermitRootLogin no
PermitTTY no
X11Forwarding no
AllowTcpForwarding no
AllowAgentForwarding no
PrintMotd no
PrintLastLog no
AcceptEnv TAVVO_STANDIN
SetEnv LSAN_OPTIONS=${LSAN_OPTIONS:-}
CONFIG
}

# Starts a server (again) and waits until it lets its users in.
sshd_start() { # server
  /usr/sbin/sshd -D -f "$ssh_folder/sshd-$1.config" -E "$ssh_folder/sshd-$1.log" &
  sshd_pids[$1]=$!
  local try alias=tavvo-remote
  [ "$1" = standins ] && alias=standin-probe
  for ((try = 0; try < 100; try++)); do
    "$ssh_program" -o BatchMode=yes "$alias" true 2>/dev/null && return 0
    kill -0 "${sshd_pids[$1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the SSH server did not start:"; tail -5 "$ssh_folder/sshd-$1.log"
  remote_cleanup; rm -rf "$work"; exit 1
}

# Stops a server and every session it serves, as a machine going away
# does: the sessions' sshd processes outlive the listener otherwise.
sshd_stop() { # server
  local pid=${sshd_pids[$1]:-} sessions
  [ -n "$pid" ] || return 0
  sessions=$(pgrep -P "$pid")
  # shellcheck disable=SC2086 # the sessions' ids
  kill -TERM "$pid" $sessions 2>/dev/null
  wait "$pid" 2>/dev/null
  unset "sshd_pids[$1]"
}

remote_cleanup() {
  sshd_stop remote
  sshd_stop standins
  local user
  for user in "${remote_users[@]}"; do
    # What the sessions left running (a remote program ends when its
    # reader goes away; one that did not would keep the user).
    kill -KILL $(pgrep -u "$user") 2>/dev/null
    userdel "$user" 2>/dev/null
  done
  remote_users=()
}

# The Codex session log of a home, written as Codex writes it, owned by its
# user. The windows reset at fixed instants of the run ($week_resets), so
# that every machine observes the same weekly window.
# Arguments: home, when (Unix seconds), five-hour used, weekly used, tokens
# of this event.
now=$(date -u +%s)
five_hour_resets=$((now + 7200)) week_resets=$((now + 302400))
codex_record() {
  local day log
  day=$1/.codex/sessions/$(date -u -d "@$2" +%Y/%m/%d)
  log=$day/rollout-$(date -u -d "@$2" +%Y-%m-%dT%H-%M-%S)-0199a213-81c0-7800-8aa1-bbab2a035a53.jsonl
  mkdir -p "$day"
  codex_line "$2" "$3" "$4" "$5" "$five_hour_resets" "$week_resets" >>"$log"
  chown -R --reference="$1" "$1/.codex"
}

# The feed `tavvo claude-statusline` leaves in a home, seen at a given
# instant. Arguments: home, when (Unix seconds), five-hour used.
claude_feed() {
  local folder=$1/.local/state/tavvo
  mkdir -p "$folder"
  printf '{"observedAt": "%s", "five_hour": {"used_percentage": %s, "resets_at": "%s"}}\n' \
    "$(date -u -d "@$2" +%Y-%m-%dT%H:%M:%SZ)" "$3" "$(date -u -d "@$five_hour_resets" +%Y-%m-%dT%H:%M:%SZ)" >"$folder/claude-statusline.json"
  chown -R --reference="$1" "$1/.local"
}
