# MySQL: a private MariaDB server, the ODBC stand-in as libmysql.dll, a small script run on it.
MY="$DK_DEMO_DIR/mysql"
mkdir -p "$MY/run"
tests/mysql/mariadb.sh start "$MY/server" 33919
WIN_B=$(cd "$B" && pwd | tr / '\\')
printf '[LibMysql]\r\npath=Z:%s\\bin\\standins\\libmysql\\libmysql.dll\r\n' "$WIN_B" > "$MY/run/qiv_mysql.ini"
cat > "$MY/run/setup.sql" <<'SQL'
/* product tables */
CREATE TABLE t_notes (id INT, note VARCHAR(40))$END_STATEMENT$
INSERT INTO t_notes VALUES (1, CONCAT('line one', [[[CRLF]]], 'line two'));
$SQL_ONLY$INSERT INTO t_notes VALUES (2, 'for SQL Server only');
INSERT INTO t_missing VALUES (3, 'fails, is logged, the rest runs');
INSERT INTO t_notes VALUES (4, 'four');
SQL
(
  B=$(cd "$B" && pwd)  # dkcall runs from the folder that holds qiv_mysql.ini
  cd "$MY/run"
  dk MySqlClientInfo
  dk MySqlTestCONN2 dk wrong 127.0.0.1 33919 dk_test
  dk MySqlExistsDB dk dk-pass 127.0.0.1 33919 dk_test
  dk MySqlExecSQL dk dk-pass 127.0.0.1 33919 dk_test setup.sql :counter=0
  dk MySqlGetRS dk dk-pass 127.0.0.1 33919 dk_test "SELECT COUNT(*) AS n FROM t_notes" N
  echo "qiv_mysql.log ends with:"; tail -n 4 qiv_mysql.log; echo
  echo "c:\\db_error.log ends with:"; tail -n 3 "$B/wineprefix/drive_c/db_error.log"; echo
)
tests/mysql/mariadb.sh stop "$MY/server"
rm -rf "$MY"
