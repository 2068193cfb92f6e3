#!/usr/bin/env bash
# Starts and stops the Debian Redmine instance the tracker client's tests talk to, on 127.0.0.1 only.
#
#   redmine-server.sh start DIR [OWNER_PID]   prepare the instance, start thin on a port of its own
#   redmine-server.sh stop DIR                stop it again
#
# start leaves in DIR (readable by root only): port, apikey (the admin's API key), password (the
# admin's password), project (the id of the test project) and thin.log. The password is drawn once
# per machine and kept root-only in STATE_DIR. The fixtures are made once in the package's database;
# each run then works on a copy of its own, so runs at the same time (of this build or of another)
# neither wait for each other nor see each other's projects and issues. When OWNER_PID is given, the
# server is also stopped once that process is gone, so a crashed test leaves nothing running.
# Exit status: 0 done, 77 Redmine is not installed, 1 any other failure.
set -uo pipefail

REDMINE_DIR=/usr/share/redmine
STATE_DIR=/var/lib/pelmorine-test-redmine
# Bounds in minutes: they only end a hang. A machine kept busy by other processes and by writers
# filling the disk took 48 s to boot Rails (4 s of processor time), 22 s to make the fixtures
# and half a minute more for thin's first answer. A start waits at most for another run's
# preparation, its copy and its server: the tests wait for this script longer than that sum.
START_LIMIT=300
PREPARE_LIMIT=300
COPY_LIMIT=120

fail() {
  echo "redmine-server: $*" >&2
  exit 1
}

installed() {
  [ -f "$REDMINE_DIR/config.ru" ] && command -v thin >/dev/null 2>&1 &&
    [ "$(dpkg-query -W -f='${Status}' redmine-sqlite 2>/dev/null)" = "install ok installed" ]
}

package_db() {
  sed -n 's/^ *database: *//p' /etc/redmine/default/database.yml 2>/dev/null | head -n 1
}

# Runs a command inside the Redmine folder as www-data, as the package expects, on the database
# file DB; the same process id all the way down, so that it can be stopped by it.
as_redmine() {
  local db=$1
  shift
  cd "$REDMINE_DIR" && exec setpriv --reuid=www-data --regid=www-data --init-groups \
    env HOME=/var/www RAILS_ENV=production DATABASE_URL="sqlite3:$db?timeout=10000" "$@"
}

# The port that process PID listens on. thin is started on port 0 and the kernel gives it a free
# port as it binds: a port looked up first and bound later could meanwhile go to another run's
# server (which would then answer in its place, with the same key) or to any outgoing connection.
listening_port() {
  local pid=$1 fd link address
  for fd in /proc/"$pid"/fd/*; do
    link=$(readlink "$fd" 2>/dev/null) || continue
    [[ $link =~ ^socket:\[([0-9]+)\]$ ]] || continue
    address=$(awk -v inode="${BASH_REMATCH[1]}" '$4 == "0A" && $10 == inode { print $2; exit }' /proc/net/tcp)
    if [ -n "$address" ]; then
      echo $((16#${address#*:}))
      return 0
    fi
  done
  return 1
}

answers() {
  local port=$1 line=""
  { exec 3<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null || return 1
  printf 'GET /trackers.xml HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' >&3
  # The first request of a fresh server loads most of the application.
  IFS= read -r -t 60 line <&3
  exec 3<&- 3>&-
  [[ $line == HTTP/* ]]
}

# REST on, every request needs a login (so a wrong key is refused), the admin's password, one
# project and one group (holding the admin) for the tests; users, projects and issues for the
# tracker window's lists.
PREPARE='
# One transaction: SQLite syncs the disk once, not for every record (one sync a record took over
# two minutes beside other programs writing to the same disk).
ActiveRecord::Base.transaction do
Setting.rest_api_enabled = "1"
Setting.login_required = "1"
# No notification mails: the tracker sends them from a thread of its own that takes the SQLite
# database while the request that made the issue still writes, and that request then fails after
# the lock time-out with 500 ("database is locked"). No test reads those mails.
Setting.notified_events = []
u = User.find_by_login("admin")
pw = ENV.fetch("PEL_ADMIN_PASSWORD")
unless u.check_password?(pw) && !u.must_change_passwd
  u.password = u.password_confirmation = pw
  u.must_change_passwd = false
  u.save!
end
p = Project.find_by_identifier("pelmorine-test") ||
    Project.create!(name: "Pelmorine test", identifier: "pelmorine-test", is_public: false)
g = Group.find_by_lastname("Pelmorine testers") || Group.create!(lastname: "Pelmorine testers")
g.users << u unless g.users.include?(u)
# Tracker users of two- and three-word names for the user search.
[["Taro", "Yamada", "pel-taro"], ["Mary Ann", "Smith", "pel-maryann"], ["Hanako", "Suzuki", "pel-hanako"]].each do |first, last, login|
  next if User.find_by_login(login)
  x = User.new(firstname: first, lastname: last, mail: "#{login}@example.invalid")
  x.login = login
  x.password = x.password_confirmation = pw
  x.save!
end
# More projects than the tracker shows on one default page.
(1..30).each do |i|
  id = format("pel-list-%02d", i)
  Project.find_by_identifier(id) || Project.create!(name: "Pel list #{i}", identifier: id, is_public: false)
end
# Issue lists of 250 and of exactly 100 issues. In the first, the newest issue (first page) is a
# sub-issue of the oldest (third page).
[["pel-issues-250", 250], ["pel-issues-100", 100]].each do |ident, count|
  ip = Project.find_by_identifier(ident) || Project.create!(name: ident, identifier: ident, is_public: false)
  next if Issue.where(project_id: ip.id).count == count
  Issue.where(project_id: ip.id).delete_all
  first = nil
  (1..count).each do |n|
    subject = n == 12 ? "element twelve::[I1-12]" : "issue #{n}"
    i = Issue.new(project: ip, tracker: ip.trackers.first, author: u, subject: subject,
                  priority: IssuePriority.default || IssuePriority.first)
    i.parent_issue_id = first.id if n == count && ident == "pel-issues-250"
    i.save!
    first ||= i
  end
end
puts "PELKEY=#{u.api_key}"
puts "PELPROJECT=#{p.id}"
end
'

# The fixtures are made in the package's database by one run at a time, and only when the script's
# fixtures or the database changed since (a stamp in STATE_DIR, which keeps what the preparation
# printed). Then the run takes its copy. Tests never write to the package's database.
prepare_and_copy() {
  local dir=$1 work=$2 password=$3 db stamp
  db=$(package_db)
  [ -f "$db" ] || return 1
  stamp=$( (printf '%s\n' "$PREPARE" "$password"; stat -c '%d:%i' "$db") | sha256sum | cut -c1-32)
  exec 9>"$STATE_DIR/prepare.lock"
  # The run that holds the lock prepares for at most PREPARE_LIMIT.
  flock -w $((PREPARE_LIMIT + 60)) 9 || {
    echo "another run prepared the fixtures for over $((PREPARE_LIMIT + 60))s" >"$dir/prepare.err"
    return 1
  }
  if [ ! -s "$STATE_DIR/prepared.$stamp" ]; then
    rm -f "$STATE_DIR"/prepared.*
    local rc=0
    (export PEL_ADMIN_PASSWORD="$password"
     as_redmine "$db" timeout "$PREPARE_LIMIT" bundle exec rails runner "$PREPARE") \
      >"$dir/prepare.out" 2>"$dir/prepare.err" </dev/null || rc=$?
    [ "$rc" -eq 124 ] && echo "the fixtures were not made within ${PREPARE_LIMIT}s" >>"$dir/prepare.err"
    [ "$rc" -eq 0 ] || return 1
    grep -q '^PELKEY=.' "$dir/prepare.out" || return 1
    mv "$dir/prepare.out" "$STATE_DIR/prepared.$stamp"
  fi
  cp "$STATE_DIR/prepared.$stamp" "$dir/prepare.out" || return 1
  exec 9>&-
  # SQLite's own backup: a consistent copy even while some other program writes the original.
  (cd / && exec setpriv --reuid=www-data --regid=www-data --init-groups \
    timeout "$COPY_LIMIT" ruby -rsqlite3 -e "$COPY" "$db" "$work/db.sqlite3") 2>>"$dir/prepare.err"
}

COPY='
src = SQLite3::Database.new(ARGV[0])
src.busy_timeout = 10000
dst = SQLite3::Database.new(ARGV[1])
backup = SQLite3::Backup.new(dst, "main", src, "main")
sleep 0.1 until backup.step(-1) == SQLite3::Constants::ErrorCode::DONE
backup.finish
'

start() {
  local dir=$1 owner=${2:-}
  installed || {
    echo "redmine-server: Redmine is not installed (tools/deps.sh installs it)" >&2
    exit 77
  }
  mkdir -p "$dir" || fail "cannot make $dir"
  umask 077
  rm -f "$dir"/{port,apikey,password,project,pid,watcher,prepare.out,work}

  local password
  mkdir -p "$STATE_DIR" && chmod 700 "$STATE_DIR" || fail "cannot make $STATE_DIR"
  if [ ! -s "$STATE_DIR/password" ]; then
    # Written aside, then linked into place: a run that starts meanwhile never reads half a file.
    local drawn
    drawn=$(mktemp "$STATE_DIR/password.XXXXXX") || fail "cannot write in $STATE_DIR"
    head -c 32 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 16 >"$drawn"
    ln "$drawn" "$STATE_DIR/password" 2>/dev/null
    rm -f "$drawn"
  fi
  password=$(cat "$STATE_DIR/password")
  [ -n "$password" ] || fail "no admin password in $STATE_DIR"
  printf '%s' "$password" >"$dir/password"

  local work
  work=$(mktemp -d /tmp/pel-redmine.XXXXXX) || fail "cannot make a folder for the database copy"
  echo "$work" >"$dir/work"
  chown www-data:www-data "$work" && chmod 700 "$work" || { stop "$dir"; fail "cannot hand $work to www-data"; }
  if ! prepare_and_copy "$dir" "$work" "$password"; then
    stop "$dir"
    fail "preparing the instance failed: $(tail -n 5 "$dir/prepare.err" 2>/dev/null)"
  fi
  sed -n 's/^PELKEY=//p' "$dir/prepare.out" | tr -d '\n' >"$dir/apikey"
  sed -n 's/^PELPROJECT=//p' "$dir/prepare.out" >"$dir/project"
  rm -f "$dir/prepare.out" "$dir/prepare.err"
  [ -s "$dir/apikey" ] || { stop "$dir"; fail "no API key from the instance"; }

  (as_redmine "$work/db.sqlite3" bundle exec thin start -e production -a 127.0.0.1 -p 0) \
    >"$dir/thin.log" 2>&1 </dev/null &
  local pid=$! port=""
  echo "$pid" >"$dir/pid"

  local deadline=$((SECONDS + START_LIMIT))
  until [ -n "$port" ] && answers "$port"; do
    [ -n "$port" ] || port=$(listening_port "$pid")
    if ! kill -0 "$pid" 2>/dev/null; then
      stop "$dir" >/dev/null
      fail "thin ended before answering: $(tail -n 5 "$dir/thin.log")"
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      stop "$dir"
      fail "thin did not answer on 127.0.0.1:${port:-(no port yet)} within ${START_LIMIT}s"
    fi
    sleep 0.2
  done
  echo "$port" >"$dir/port"

  if [ -n "$owner" ]; then
    (while kill -0 "$owner" 2>/dev/null && kill -0 "$pid" 2>/dev/null; do sleep 1; done
     kill "$pid" 2>/dev/null
     for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
     rm -rf "$work") >/dev/null 2>&1 </dev/null &
    echo $! >"$dir/watcher"
  fi
  echo "redmine-server: answering on 127.0.0.1:$port"
}

stop() {
  local dir=$1 pid watcher work
  work=$(cat "$dir/work" 2>/dev/null || true)
  pid=$(cat "$dir/pid" 2>/dev/null || true)
  if [ -n "$pid" ]; then
    watcher=$(cat "$dir/watcher" 2>/dev/null || true)
    [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
    kill "$pid" 2>/dev/null
    local i
    for i in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
  fi
  # Only a copy this script made.
  [[ $work == /tmp/pel-redmine.* ]] && rm -rf "$work"
  rm -f "$dir/pid" "$dir/watcher" "$dir/work"
  if [ -z "$pid" ]; then
    echo "redmine-server: nothing to stop"
  else
    echo "redmine-server: stopped"
  fi
}

case "${1:-}" in
start) [ $# -ge 2 ] || fail "usage: $0 start DIR [OWNER_PID]"; start "$2" "${3:-}" ;;
stop) [ $# -ge 2 ] || fail "usage: $0 stop DIR"; stop "$2" ;;
*) fail "usage: $0 start|stop DIR" ;;
esac
