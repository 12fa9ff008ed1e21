#!/usr/bin/env bash
# The real program's -install and -uninstall on a machine booted with
# systemd, under the machine's own paths, but inside mount, PID and network
# namespaces of their own: empty folders cover /usr/sbin, /etc/systemd/system,
# /run, /root and /home, and /etc/passwd names root alone, so nothing reaches
# the machine. systemd is not PID 1 here: a systemctl of the test notes its
# calls and, for "restart", runs the unit's command with the unit's
# environment as systemd would; systemd-analyze checks the unit itself.
#   systemd_install_test.sh PROGRAM
set -euo pipefail

program=$1
if [ "${2:-}" != --inside ]; then
  fail_or_skip() {
    if [ "${CI:-}" = true ]; then echo "FAIL: $1"; exit 1; fi
    echo "SKIP: $1"; exit 77
  }
  [ "$(id -u)" = 0 ] || fail_or_skip "mount namespaces need root"
  for tool in unshare systemd-analyze curl ip; do
    command -v "$tool" >/dev/null || fail_or_skip "$tool is missing (scripts/setup installs it)"
  done
  unshare --mount --pid --fork --mount-proc --net true 2>/dev/null || fail_or_skip "no mount, PID or network namespaces here"
  work=$(mktemp -d /tmp/kavrix-systemd-XXXXXX)
  trap 'rm -rf "$work"' EXIT
  unshare --mount --pid --fork --mount-proc --net --propagation private bash "$0" "$program" --inside "$work"
  echo "SystemdInstall: 1 passed, 0 failed"
  exit 0
fi

work=$3
failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

ip link set lo up
for folder in /usr/sbin /etc/systemd/system /run /root /home; do mount -t tmpfs tmpfs "$folder"; done
mkdir -p /run/systemd/system
echo "root:x:0:0:root:/root:/bin/bash" > "$work/passwd"
mount --bind "$work/passwd" /etc/passwd

mkdir -p "$work/bin"
cat > "$work/bin/systemctl" <<SCRIPT
#!/bin/bash
echo "\$*" >> $work/systemctl.log
unit=/etc/systemd/system/\$2
case "\$1" in
  restart)
    env \$(sed -n 's/^Environment=//p' "\$unit") \$(sed -n 's/^ExecStart=//p' "\$unit") > $work/service.out 2>&1 &
    echo \$! > $work/service.pid
    ;;
  stop)
    [ -f $work/service.pid ] && kill "\$(cat $work/service.pid)" && tail --pid="\$(cat $work/service.pid)" -f /dev/null
    rm -f $work/service.pid
    ;;
esac
exit 0
SCRIPT
chmod 755 "$work/bin/systemctl"
export PATH="$work/bin:$PATH" USER=root KAVRIX_ROOT="$work/data"
unset DISPLAY
mkdir -p "$KAVRIX_ROOT/kavrixserver/etc"
printf 'localport=8089\r\n' > "$KAVRIX_ROOT/kavrixserver/etc/routing"

unit=/etc/systemd/system/kavrixserverd.service
# An older, longer unit is replaced whole (one ExecStart= line is left).
printf 'ExecStart=/old\n%.0s' $(seq 100) > "$unit"
"$program" -install > "$work/install.out" || { cat "$work/install.out"; exit 1; }
check "install calls" "daemon-reload enable kavrixserverd.service restart kavrixserverd.service" \
  "$(tr '\n' ' ' < "$work/systemctl.log" | sed 's/ $//')"
check "program mode" "755 root" "$(stat -c '%a %U' /usr/sbin/kavrixserverd)"
cmp -s "$program" /usr/sbin/kavrixserverd || check "program bytes" same different
check "unit mode" "644 root" "$(stat -c '%a %U' "$unit")"
check "unit command" "ExecStart=/usr/sbin/kavrixserverd -foreground" "$(grep '^ExecStart=' "$unit")"
check "unit data folder" "ReadWritePaths=$KAVRIX_ROOT" "$(grep '^ReadWritePaths=' "$unit")"
# What keeps the service's files private and the machine safe from it.
check "unit restart and hardening" "Restart=on-failure UMask=0007 ProtectSystem=strict ProtectHome=yes PrivateTmp=yes NoNewPrivileges=yes" \
  "$(grep -E '^(Restart|UMask|Protect[A-Za-z]*|PrivateTmp|NoNewPrivileges)=' "$unit" | tr '\n' ' ' | sed 's/ $//')"
if ! systemd-analyze verify "$unit" > "$work/verify.out" 2>&1; then
  check "systemd-analyze verify" "" "$(cat "$work/verify.out")"
fi

# The service as the unit runs it finds its data: it serves the port of the
# data folder's settings and lays out its web root there.
timeout 30 grep -q -m1 "KavrixServer is running" <(tail -n +1 -f "$work/service.out") || cat "$work/service.out"
page=$(curl -s --retry 5 --retry-connrefused http://127.0.0.1:8089/logon)
case "$page" in *"<title>KavrixServer</title>"*'action="logon"'*) ;; *) check "logon page" "the logon form" "$page" ;; esac

: > "$work/systemctl.log"
"$program" -uninstall > "$work/uninstall.out" || { cat "$work/uninstall.out"; exit 1; }
check "uninstall calls" "stop kavrixserverd.service disable kavrixserverd.service daemon-reload" \
  "$(tr '\n' ' ' < "$work/systemctl.log" | sed 's/ $//')"
check "uninstall says" "Uninstall Complete" "$(head -1 "$work/uninstall.out")"
check "files left" "" "$(find /usr/sbin /etc/systemd/system -mindepth 1)"
check "service processes left" "" "$(grep -lx 'Name:.kavrixserverd' /proc/[0-9]*/status 2>/dev/null || true)"
[ -f "$KAVRIX_ROOT/kavrixserver/etc/routing" ] || check "data folder kept" present missing
[ "$failures" = 0 ]
