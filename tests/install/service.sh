#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The packaged ranking service: its unit passes systemd-analyze verify and keeps a low
# exposure in systemd-analyze security; and its ExecStart line, expanded as systemd
# would with the packaged settings file and a state folder of its own, started by hand
# as an unprivileged user, stores its database there and answers /healthz.
# Usage: service.sh PACKAGE-BUILD-DIR OUT-DIR
set -euo pipefail
build=$1 out=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"
root="$out/root"
dpkg-deb -x "$build"/vemol-ranking_*.deb "$root"
unit_file="$root/lib/systemd/system/vemol-ranking.service"
settings="$root/etc/default/vemol-ranking"

# The unit as installed, its program found under the extracted root (systemd-analyze
# checks that ExecStart names an executable).
sed "s|=/usr/sbin/|=$root/usr/sbin/|" "$unit_file" >"$out/vemol-ranking.service"
systemd-analyze verify --man=no "$out/vemol-ranking.service" || fail "systemd-analyze verify rejects the unit"
systemd-analyze security --offline=true --threshold=20 "$out/vemol-ranking.service" >"$out/security.txt" ||
    fail "the unit's exposure is above 2.0: $(tail -1 "$out/security.txt")"
grep -q '^VEMOL_RANKING_OPTIONS="--listen 127.0.0.1:8080"$' "$settings" ||
    fail "the service does not listen on 127.0.0.1:8080 by default"

# By hand: the settings as EnvironmentFile= reads them, on a free port instead of 8080;
# $VAR splits into words and ${VAR} stays one, as in systemd's ExecStart=.
user=$(id -un)
[ "$(id -u)" != 0 ] || user=nobody
state="$out/state"
mkdir -m 700 "$state"
chown "$user" "$state" "$out"
sed 's/127\.0\.0\.1:8080/127.0.0.1:0/' "$settings" >"$out/settings"
exec_line=$(sed -n 's/^ExecStart=//p' "$unit_file")
(
    set -a
    source "$out/settings"
    STATE_DIRECTORY=$state
    eval "set -- $exec_line"
    exec setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --reset-env -- \
        "$root$1" "${@:2}"
) 2>"$out/server.log" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
port=""
for _ in $(seq 100); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$out/server.log")
    [ -n "$port" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the server ended: $(cat "$out/server.log")"
    sleep 0.1
done
[ -n "$port" ] || fail "the server did not start listening: $(cat "$out/server.log")"
health=$(curl -fsS "http://127.0.0.1:$port/healthz") || fail "/healthz did not answer"
[ "$health" = ok ] || fail "/healthz answered '$health'"
[ "$(stat -c %U "$state/ranking.db")" = "$user" ] || fail "the database is not in the state folder, owned by $user"
kill -TERM "$pid"
wait "$pid" || fail "the server did not stop cleanly on SIGTERM: $(cat "$out/server.log")"
trap - EXIT
echo "service: verified, exposure $(sed -n 's/.*: \([0-9.]*\) .*/\1/p' <(tail -1 "$out/security.txt")); answered /healthz as $user"
