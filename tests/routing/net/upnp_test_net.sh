#!/usr/bin/env bash
# Builds and removes the test network of the UPnP probe test: two network
# namespaces joined by a cable (upnp_tap_link: a TAP device in each,
# frames copied between them, for kernels without veth). "lan" holds the server side
# (192.168.77.2); "router" holds the LAN side of the gateway (192.168.77.1)
# and its external interface, a dummy device with the public address given.
# miniupnpd runs in "router" with the configuration written here. Nothing
# reaches this machine's own interfaces: the namespaces have no other link.
#
#   upnp_test_net.sh up <name> <external-address> <deny-port|0> <folder> <tap-link>
#   upnp_test_net.sh down <name> <folder>
# The namespaces are <name>-lan and <name>-router; miniupnpd's and the
# cable's pids, miniupnpd's log and lease file go into <folder>.
set -euo pipefail

action=$1
name=$2
lan=$name-lan
router=$name-router

if [ "$action" = down ]; then
  folder=$3
  for pidfile in "$folder/miniupnpd.pid" "$folder/link.pid"; do
    if [ -f "$pidfile" ]; then
      kill "$(cat "$pidfile")" 2>/dev/null || true
    fi
  done
  ip netns del "$lan" 2>/dev/null || true
  ip netns del "$router" 2>/dev/null || true
  exit 0
fi

external=$3
deny_port=$4
folder=$5
tap_link=$6
mkdir -p "$folder"

ip netns add "$lan"
ip netns add "$router"
ip -n "$lan" link set lo up
ip -n "$router" link set lo up
"$tap_link" "/run/netns/$lan" "/run/netns/$router" lan0 > "$folder/link.out" 2>&1 &
echo $! > "$folder/link.pid"
for _ in $(seq 1 50); do
  grep -q ready "$folder/link.out" && break
  sleep 0.1
done
grep -q ready "$folder/link.out" || { cat "$folder/link.out" >&2; exit 1; }
ip -n "$lan" addr add 192.168.77.2/24 dev lan0
ip -n "$router" addr add 192.168.77.1/24 dev lan0
ip -n "$lan" link set lan0 up
ip -n "$router" link set lan0 up
ip -n "$lan" route add default via 192.168.77.1
# The external side: a bridge without ports is a device that holds an
# address and leads nowhere.
ip -n "$router" link add ext0 type bridge
ip -n "$router" addr add "$external/24" dev ext0
ip -n "$router" link set ext0 up
ip netns exec "$router" sysctl -qw net.ipv4.ip_forward=1

# The tables and chains miniupnpd's nftables backend fills in.
ip netns exec "$router" nft -f - <<NFT
table inet filter {
  chain forward { type filter hook forward priority 0; policy drop; jump miniupnpd; }
  chain miniupnpd { }
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
NFT

{
  echo "ext_ifname=ext0"
  echo "listening_ip=lan0"
  echo "port=5555"
  echo "enable_natpmp=no"
  echo "enable_upnp=yes"
  # The probe speaks to Internet Gateway Device version 1, as most office
  # routers still describe themselves.
  echo "force_igd_desc_v1=yes"
  echo "secure_mode=yes"
  echo "system_uptime=yes"
  echo "notify_interval=3600"
  echo "lease_file=$folder/upnp.leases"
  echo "uuid=6e3f4b52-1a1c-4b7e-9c2d-0d5c1f7a9e11"
  [ "$deny_port" != 0 ] && echo "deny $deny_port 192.168.77.0/24 0-65535"
  echo "allow 1-65535 192.168.77.0/24 1-65535"
  echo "deny 0-65535 0.0.0.0/0 0-65535"
} > "$folder/miniupnpd.conf"

ip netns exec "$router" miniupnpd -f "$folder/miniupnpd.conf" -P "$folder/miniupnpd.pid" -d \
  > "$folder/miniupnpd.log" 2>&1 &

# Ready when its HTTP port answers.
for _ in $(seq 1 50); do
  if ip netns exec "$router" bash -c 'exec 3<>/dev/tcp/192.168.77.1/5555' 2>/dev/null; then
    exit 0
  fi
  sleep 0.1
done
echo "miniupnpd did not start:" >&2
cat "$folder/miniupnpd.log" >&2
exit 1
