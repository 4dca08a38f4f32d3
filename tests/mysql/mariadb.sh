#!/bin/sh
# A private MariaDB server for the MySQL tests, with its data folder in the build tree.
#   mariadb.sh start DIR PORT   fresh data folder, server on 127.0.0.1:PORT, root password and
#                               the test account set, database dk_test created
#   mariadb.sh stop DIR         shut the server down and remove the data folder
# Accounts: root / dk-root, dk / dk-pass (all privileges), both for local and TCP logins.
set -e
dir="$2"
port="$3"
data="$dir/data"
sock="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"

stop_server() {
  if [ -f "$pidfile" ]; then
    pid="$(cat "$pidfile")"
    kill "$pid" 2>/dev/null || true
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$pidfile"
  fi
}

case "$1" in
  start)
    : "${port:?usage: $0 start DIR PORT}"
    mkdir -p "$dir"
    stop_server
    rm -rf "$data"
    mariadb-install-db --no-defaults --user=root --datadir="$data" \
      --auth-root-authentication-method=normal >"$dir/install.log" 2>&1
    setsid mariadbd --no-defaults --user=root --datadir="$data" --socket="$sock" --port="$port" \
      --bind-address=127.0.0.1 --pid-file="$pidfile" --log-error="$dir/server.log" \
      --innodb-buffer-pool-size=16M --skip-log-bin </dev/null >/dev/null 2>&1 &
    i=0
    until mariadb --no-defaults -S "$sock" -uroot -e "SELECT 1" >/dev/null 2>&1; do
      i=$((i + 1))
      if [ $i -gt 600 ]; then
        echo "MariaDB did not start; see $dir/server.log" >&2
        exit 1
      fi
      sleep 0.1
    done
    mariadb --no-defaults -S "$sock" -uroot <<'SQL'
DELETE FROM mysql.global_priv WHERE User = '';
FLUSH PRIVILEGES;
ALTER USER 'root'@'localhost' IDENTIFIED BY 'dk-root';
CREATE OR REPLACE USER 'root'@'127.0.0.1' IDENTIFIED BY 'dk-root';
GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION;
CREATE OR REPLACE USER 'dk'@'localhost' IDENTIFIED BY 'dk-pass';
CREATE OR REPLACE USER 'dk'@'127.0.0.1' IDENTIFIED BY 'dk-pass';
GRANT ALL PRIVILEGES ON *.* TO 'dk'@'localhost';
GRANT ALL PRIVILEGES ON *.* TO 'dk'@'127.0.0.1';
CREATE DATABASE dk_test;
FLUSH PRIVILEGES;
SQL
    ;;
  stop)
    stop_server
    rm -rf "$data" "$sock"
    ;;
  *)
    echo "usage: $0 start DIR PORT | stop DIR" >&2
    exit 2
    ;;
esac
