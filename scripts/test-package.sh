#!/usr/bin/env bash
# The Debian package as an administrator meets it: builds it (scripts/build-deb.sh), runs
# lintian, installs it with apt-get, checks the raw-frame rights as a member of the group quillon
# and as someone outside it, then removes and purges it and checks that nothing of it is left
# but the group. Needs root (it installs a package and makes users); skipped otherwise. The
# throwaway users, the network namespaces and the package are gone at the end, whatever the
# outcome, and so is the group when the run created it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -ne 0 ]]; then
  echo "package test skipped: installing the package and making users needs root"
  exit 0
fi
if dpkg-query -W -f='${Status}' quillon 2>/dev/null | grep -qv '^unknown ok not-installed$'; then
  echo "package test skipped: quillon is installed here, and the test would replace and purge it"
  echo "(apt-get purge quillon first to run it)"
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
member=qpk-in-$$
outsider=qpk-out-$$
namespaces=qpk$$
installed=false
group_existed=false
getent group quillon >/dev/null && group_existed=true
log=$(mktemp)

cleanup() {
  tests/e2e/netns.sh down "$namespaces" 2>/dev/null || true
  if $installed; then apt-get purge -y -q quillon >/dev/null 2>&1 || true; fi
  for user in "$member" "$outsider"; do
    if getent passwd "$user" >/dev/null; then userdel "$user" || true; fi
  done
  if ! $group_existed && getent group quillon >/dev/null; then groupdel quillon || true; fi
  rm -f "$log"
}
trap cleanup EXIT

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
  fi
}
not() { ! "$@"; }
as() {
  local user=$1
  shift
  runuser -u "$user" -- "$@"
}

echo "package test: building (scripts/build-deb.sh)"
if ! scripts/build-deb.sh >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "FAIL: scripts/build-deb.sh"
  exit 1
fi
tail -n 1 "$log"
# Warnings are shown; only errors fail.
check "lintian finds no errors" lintian --fail-on error build/deb/quillon_*.changes

apt-get install -y -q ./build/deb/quillon*.deb >"$log" 2>&1 || { cat "$log"; exit 1; }
installed=true
mapfile -t files < <(dpkg -L quillon | while read -r path; do [[ -f $path ]] && echo "$path"; done)
version=$(dpkg-query -W -f='${Version}' quillon)

owner_mode() { [[ $(stat -c '%U:%G %a' "$1") == "$2" ]]; }
capabilities() { [[ $(getcap "$1") == "$2" ]]; }
no_setuid() { [[ -z $(find "${files[@]}" -perm /6000) ]]; }
check "the system group quillon exists" getent group quillon
for program in /usr/bin/quillon /usr/bin/quillon-cli; do
  check "$program is root:quillon, mode 0750" owner_mode "$program" "root:quillon 750"
  check "$program has cap_net_raw and nothing else" capabilities "$program" "$program cap_net_raw=ep"
done
for program in /usr/bin/quillon-demo /usr/bin/quillon-cardsim; do
  check "$program is root:root, mode 0755" owner_mode "$program" "root:root 755"
  check "$program has no capability" capabilities "$program" ""
done
check "nothing in the package is setuid or setgid" no_setuid

useradd --system --no-create-home --shell /usr/sbin/nologin "$member"
useradd --system --no-create-home --shell /usr/sbin/nologin "$outsider"
adduser --quiet "$member" quillon

prints() {
  local expected=$1
  shift
  [[ $("$@" 2>&1) == "$expected" ]]
}
refused() { [[ $("$@" 2>&1) == *"Permission denied"* ]]; }
demo_list=$(as "$member" /usr/bin/quillon-cli --demo list --json 2>&1) || true
demo_cards=$(grep -c '"serial"' <<<"$demo_list" || true)
check "a member runs quillon-cli --demo list ($demo_cards cards)" test "$demo_cards" -gt 0
for program in quillon quillon-demo quillon-cli quillon-cardsim; do
  check "$program --version is the package's" \
    prints "$program (Quillon Utility) $version" as "$member" "/usr/bin/$program" --version
done
check "someone outside the group cannot run quillon-cli" \
  refused as "$outsider" /usr/bin/quillon-cli --demo list
check "someone outside the group cannot run quillon" refused as "$outsider" /usr/bin/quillon --version
check "someone outside the group runs quillon-demo" \
  prints "quillon-demo (Quillon Utility) $version" as "$outsider" /usr/bin/quillon-demo --version

# The capability is enough for the real driver: the installed quillon-cardsim (as root) answers
# from one end of a veth pair, and the member's quillon-cli lists its cards from the other.
if why=$(tests/e2e/netns.sh check 2>&1); then
  tests/e2e/netns.sh up "$namespaces"
  ip netns exec "$namespaces-cards" /usr/bin/quillon-cardsim --interface qc0 >/dev/null 2>&1 &
  sleep 0.5
  wire_list=$(ip netns exec "$namespaces-host" runuser -u "$member" -- \
    /usr/bin/quillon-cli --adapter qh0 list --json 2>&1) || true
  wire_cards=$(grep -c '"serial"' <<<"$wire_list" || true)
  check "a member's quillon-cli lists the $demo_cards cards over a veth pair" \
    test "$wire_cards" -eq "$demo_cards"
  [[ $wire_cards -eq $demo_cards ]] || echo "$wire_list"
  check "quillon-cardsim, without a capability, is refused capture to a member" \
    not ip netns exec "$namespaces-host" runuser -u "$member" -- \
    /usr/bin/quillon-cardsim --interface qh1
  tests/e2e/netns.sh down "$namespaces"
else
  echo "skipped the check over a veth pair: $why"
fi

check "the desktop entries are valid" desktop-file-validate \
  /usr/share/applications/example.quillon.Utility.desktop \
  /usr/share/applications/example.quillon.Utility.Demo.desktop
check "the AppStream metainfo is valid" appstreamcli validate --no-net --no-color \
  /usr/share/metainfo/example.quillon.Utility.metainfo.xml
check "the four manual pages are installed" man -w quillon quillon-demo quillon-cli quillon-cardsim
check "bash completes quillon-cli" bash -c 'source /usr/share/bash-completion/bash_completion &&
  source /usr/share/bash-completion/completions/quillon-cli && complete -p quillon-cli >/dev/null'

overrides() { dpkg-statoverride --list '/usr/bin/quillon*'; }
none_left() {
  local path
  for path in "${files[@]}"; do [[ ! -e $path ]] || { echo "left behind: $path"; return 1; }; done
}
no_capabilities() { ! getcap -r /usr/bin 2>/dev/null | grep -q quillon; }

apt-get remove -y -q quillon >"$log" 2>&1 || { cat "$log"; exit 1; }
check "remove: none of the package's ${#files[@]} files is left" none_left
check "remove: no capability is left" no_capabilities
check "remove: the package's statoverrides are gone" not overrides
in_group() { id -nG "$1" | grep -qw quillon; }
check "remove: the group quillon stays, with its members" in_group "$member"

apt-get purge -y -q quillon >"$log" 2>&1 || { cat "$log"; exit 1; }
installed=false
check "purge: dpkg knows nothing of quillon" not dpkg-query -W quillon
check "purge: no statoverride is left" not overrides
check "purge: the group quillon stays (system groups do)" getent group quillon

if ((failed > 0)); then
  echo "package test: $failed of $((passed + failed)) checks failed"
  exit 1
fi
echo "package test: all $passed checks passed"
