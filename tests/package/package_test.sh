#!/usr/bin/env bash
# The Debian package: built by scripts/package from this build's programs,
# checked by lintian, then installed, upgraded, removed and purged with dpkg
# in a throwaway root: mount, PID and network namespaces of their own in
# which /usr, /etc, /var and /opt are overlays whose changes go to a scratch
# folder and vanish with the namespace. systemd is not PID 1 there, so the
# maintainer scripts take the init script's way, as on a machine without
# systemd.
#   package_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
if [ "${2:-}" != --inside ]; then
  fail_or_skip() {
    if [ "${CI:-}" = true ]; then echo "FAIL: $1"; exit 1; fi
    echo "SKIP: $1"; exit 77
  }
  [ "$(id -u)" = 0 ] || fail_or_skip "the throwaway root needs root"
  for tool in unshare lintian dpkg-deb dpkg-shlibdeps curl ip; do
    command -v "$tool" >/dev/null || fail_or_skip "$tool is missing (scripts/setup installs it)"
  done
  grep -qw overlay /proc/filesystems || modprobe overlay 2>/dev/null || fail_or_skip "no overlay file system here"
  unshare --mount --pid --fork --mount-proc --net true 2>/dev/null || fail_or_skip "no mount, PID or network namespaces here"
  work=$(mktemp -d /tmp/kavrix-package-XXXXXX)
  trap 'rm -rf "$work"' EXIT
  package=$("$top/scripts/package" --from "$build" --out "$work")
  # Errors fail; warnings are printed for the reader.
  status=0
  lintian --fail-on error "$package" > "$work/lintian.out" 2>&1 || status=$?
  grep -v 'root privileges' "$work/lintian.out" || true
  [ "$status" = 0 ] || { echo "FAIL: lintian reports errors"; exit 1; }
  unshare --mount --pid --fork --mount-proc --net --propagation private bash "$0" "$build" --inside "$work" "$package"
  echo "DebianPackage: 1 passed, 0 failed"
  exit 0
fi

work=$3
package=$4
failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

ip link set lo up
scratch=$work/scratch
mkdir -p "$scratch"
mount -t tmpfs tmpfs "$scratch"
for folder in /usr /etc /var /opt; do
  name=${folder#/}
  mkdir -p "$scratch/$name.up" "$scratch/$name.work"
  mount -t overlay overlay -o "lowerdir=$folder,upperdir=$scratch/$name.up,workdir=$scratch/$name.work" "$folder"
done
mount -t tmpfs tmpfs /run
# This root stands for a server booted into run level 2 without systemd: a
# container's ban on starting services does not hold there, and invoke-rc.d
# asks the run level, which only a booted machine's records tell.
rm -f /usr/sbin/policy-rc.d
rm -f /usr/sbin/runlevel
printf '#!/bin/sh\necho N 2\n' > /usr/sbin/runlevel
chmod 755 /usr/sbin/runlevel

data=/opt/mardel/kavrixserver
mkdir -p "$data/etc"
printf 'localport=8089\r\n' > "$data/etc/routing"

service_pids() { grep -lx 'Name:.kavrixserverd' /proc/[0-9]*/status 2>/dev/null | cut -d/ -f3 || true; }
service_running() { service_pids | wc -l; }
logon_page() {
  local page
  page=$(curl -s --retry 5 --retry-connrefused http://127.0.0.1:8089/logon)
  case "$page" in *"<title>KavrixServer</title>"*'action="logon"'*) echo served ;; *) echo "$page" ;; esac
}

dpkg -i "$package" > "$work/install.out" 2>&1 || { cat "$work/install.out"; exit 1; }
check "installed" "ii" "$(dpkg-query -W -f='${db:Status-Abbrev}' kavrixserver | cut -c1-2)"
check "service after install" 1 "$(service_running)"
[ "$(service_running)" = 1 ] || cat "$work/install.out"
check "logon page after install" served "$(logon_page)"
check "start at boot" "/etc/rc2.d/S01kavrixserverd" "$(ls /etc/rc2.d/S*kavrixserverd)"
check "unit enabled" "/lib/systemd/system/kavrixserverd.service" \
  "$(readlink /etc/systemd/system/multi-user.target.wants/kavrixserverd.service)"
cmp -s /usr/share/kavrixserver/webroot/s.css "$data/etc/webcontrol/s.css" || check "web root laid out" same different

# An upgrade replaces what an earlier version laid down and keeps what the
# office changed: s.css stands as a former version shipped it, the help
# index was rewritten by the office.
printf 'old style sheet\n' > "$data/etc/webcontrol/s.css"
sed -i "s|^[0-9a-f]*  $data/etc/webcontrol/s.css\$|$(printf 'old style sheet\n' | md5sum | cut -d' ' -f1)  $data/etc/webcontrol/s.css|" \
  /var/lib/kavrixserver/static-files.md5sums
printf 'our own help\n' > "$data/share/help/index.html"
before=$(service_pids)
dpkg -i "$package" > "$work/upgrade.out" 2>&1 || { cat "$work/upgrade.out"; exit 1; }
cmp -s /usr/share/kavrixserver/webroot/s.css "$data/etc/webcontrol/s.css" || check "s.css upgraded" new old
check "office's help kept" "our own help" "$(cat "$data/share/help/index.html")"
check "service after upgrade" 1 "$(service_running)"
[ "$(service_pids)" != "$before" ] || check "service restarted by the upgrade" "a new process" "$before"
check "logon page after upgrade" served "$(logon_page)"

dpkg -r kavrixserver > "$work/remove.out" 2>&1 || { cat "$work/remove.out"; exit 1; }
check "service after remove" 0 "$(service_running)"
check "program after remove" "" "$(ls /usr/sbin/kavrixserverd /lib/systemd/system/kavrixserverd.service 2>/dev/null)"
check "data kept" "localport=8089" "$(tr -d '\r' < "$data/etc/routing")"

dpkg -P kavrixserver > "$work/purge.out" 2>&1 || { cat "$work/purge.out"; exit 1; }
check "purged" "" "$(dpkg-query -W -f='${db:Status-Abbrev}' kavrixserver 2>/dev/null || true)"
check "left after purge" "" "$(ls -d /opt/mardel /var/lib/kavrixserver /etc/init.d/kavrixserverd /etc/rc2.d/S*kavrixserverd \
  /etc/systemd/system/multi-user.target.wants/kavrixserverd.service 2>/dev/null)"
[ "$failures" = 0 ]
