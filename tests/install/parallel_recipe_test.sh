#!/usr/bin/env bash
# Runs the README's recipe for many machines, word for word, on three movies (one in a folder, one
# with a space in its name): converted and back beside their sources, and a second run redoes
# nothing. Run as root with sshd at hand, the other host is real: an sshd of the test's own on
# 127.0.0.1 logs in a second user with a home of its own, where the movies are copied, converted
# and removed again. Elsewhere this machine is the only host (`:`).
# Usage: parallel_recipe_test.sh README PROGRAM SAMPLE_MOVIE
set -euo pipefail
readme=$1 program=$2 sample=$3
command -v parallel >/dev/null || { echo "SKIP: no GNU parallel (scripts/setup-deps.sh installs it)"; exit 77; }
tmp=$(mktemp -d)
sshd_pid="" user=""
trap '[ -z "$sshd_pid" ] || kill "$sshd_pid"; [ -z "$user" ] || userdel "$user"; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

recipe=$(awk '/^## A movie library on many machines/ { section = 1 } section && /^```sh/ { block = 1; next }
              block && /^```/ { exit } block { print }' "$readme")
grep -q -- '--sshlogin "\$hosts"' <<<"$recipe" || fail "no parallel command in the README's section"
grep -q -- '--transferfile {} --return {}.3gp --cleanup' <<<"$recipe" || fail "the recipe no longer moves files"

# pocketmovie "installed" on the path of both users.
mkdir -p "$tmp/bin" "$tmp/home/Movies/trip" "$tmp/host/.ssh"
chmod 755 "$tmp"
ln -s "$program" "$tmp/bin/pocketmovie"
export PATH="$tmp/bin:$PATH"
hosts=:
if [ "$(id -u)" = 0 ] && [ -x /usr/sbin/sshd ] && command -v ssh rsync >/dev/null; then
  user=pmhost$$
  useradd -M -d "$tmp/host" -s /bin/bash -p '*' "$user"  # no password, yet not locked
  ssh-keygen -q -t ed25519 -N '' -f "$tmp/key"
  ssh-keygen -q -t ed25519 -N '' -f "$tmp/host_key"
  cp "$tmp/key.pub" "$tmp/host/.ssh/authorized_keys"
  chown -R "$user" "$tmp/host"
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  mkdir -p /run/sshd
  /usr/sbin/sshd -D -e -f /dev/null -h "$tmp/host_key" -o ListenAddress="127.0.0.1:$port" -o PidFile=none \
    -o UsePAM=no -o "SetEnv=PATH=$tmp/bin:/usr/bin:/bin" 2>"$tmp/sshd.log" &
  sshd_pid=$!
  printf '%s\n' "Host otherhost" "HostName 127.0.0.1" "Port $port" "User $user" "IdentityFile $tmp/key" \
    "BatchMode yes" "StrictHostKeyChecking no" "UserKnownHostsFile /dev/null" "LogLevel ERROR" >"$tmp/ssh_config"
  export PARALLEL_SSH="ssh -F $tmp/ssh_config"
  for _ in $(seq 50); do $PARALLEL_SSH otherhost true 2>/dev/null && break; sleep 0.2; done
  $PARALLEL_SSH otherhost true || { cat "$tmp/sshd.log" >&2; fail "no ssh login to the other host"; }
  hosts=2/otherhost
fi
recipe=$(sed "s|^hosts=.*|hosts=$hosts|" <<<"$recipe")

export HOME="$tmp/home"
cp "$sample" "$HOME/Movies/clip.mov"
cp "$sample" "$HOME/Movies/trip/beach day.mov"
cp "$sample" "$HOME/Movies/trip/old.avi"

bash -c "$recipe" >"$tmp/out.txt" 2>&1 || { cat "$tmp/out.txt" >&2; fail "the recipe failed"; }
for movie in clip.mov "trip/beach day.mov" trip/old.avi; do
  [ -f "$HOME/Movies/$movie" ] || fail "the source $movie is gone"
  ffprobe -v error -show_entries format=duration -of csv=p=0 "$HOME/Movies/$movie.3gp" | grep -q '[1-9]' ||
    fail "$movie.3gp is no movie"
  grep -q "^./$movie	pocketmovie: wrote " "$tmp/out.txt" || { cat "$tmp/out.txt" >&2; fail "no result line for $movie"; }
done
# The program's remembered options are the host's own; of the movies nothing may stay.
left=$(cd "$tmp/host" && find . -mindepth 1 ! -path './.ssh*' ! -path './.config*')
[ -z "$left" ] || fail "left on the other host: $left"

# Run again, as after a stop: nothing done twice.
before=$(stat -c %Y "$HOME/Movies/clip.mov.3gp")
sleep 1
bash -c "$recipe" >"$tmp/again.txt" 2>&1 || { cat "$tmp/again.txt" >&2; fail "the second run failed"; }
[ "$(stat -c %Y "$HOME/Movies/clip.mov.3gp")" = "$before" ] || fail "a done movie was converted again"
[ ! -e "$HOME/Movies/clip.mov.3gp.3gp" ] || fail "an output was taken for a source"
echo "ok, hosts $hosts"
