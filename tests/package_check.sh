#!/usr/bin/env bash
# Builds the Debian package from the build tree BUILD, checks its file list and its scripts,
# unpacks it into a temporary root and runs each installed program from there.
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail cpack; }
deb=$(ls "$work"/out/kelpa_"$version"_*.deb)

expected="./opt/kelpa/bin/free
./opt/kelpa/bin/kill -> tyvar
./opt/kelpa/bin/tezzo -> tyvar
./opt/kelpa/bin/tyvar
./opt/kelpa/bin/uptime
./opt/kelpa/include/kelpa.h
./opt/kelpa/lib/cmake/kelpa/kelpaConfig.cmake
./opt/kelpa/lib/cmake/kelpa/kelpaConfigVersion.cmake
./opt/kelpa/lib/cmake/kelpa/kelpaTargets-BUILDTYPE.cmake
./opt/kelpa/lib/cmake/kelpa/kelpaTargets.cmake
./opt/kelpa/lib/libkelpa.so -> libkelpa.so.1
./opt/kelpa/lib/libkelpa.so.1 -> libkelpa.so.$version
./opt/kelpa/lib/libkelpa.so.$version
./opt/kelpa/lib/pkgconfig/kelpa.pc
./opt/kelpa/share/bash-completion/completions/free
./opt/kelpa/share/bash-completion/completions/kill
./opt/kelpa/share/bash-completion/completions/tezzo
./opt/kelpa/share/bash-completion/completions/tyvar
./opt/kelpa/share/man/man1/free.1
./opt/kelpa/share/man/man1/kill.1
./opt/kelpa/share/man/man1/tezzo.1
./opt/kelpa/share/man/man1/tyvar.1
./opt/kelpa/share/man/man1/uptime.1
./opt/kelpa/share/man/man3/libkelpa.3"
# The exported targets' file is named after the build type.
files=$(dpkg-deb -c "$deb" | grep -v '^d' | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' |
  sed 's/kelpaTargets-[a-z]*\.cmake$/kelpaTargets-BUILDTYPE.cmake/' | sort)
[ "$files" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$files"))"
[ "$(dpkg-deb -f "$deb" Package)" = kelpa ] || fail "package name"

dpkg -x "$deb" "$work/root"
bin=$work/root/opt/kelpa/bin
unset LD_LIBRARY_PATH
"$bin/kill" -l | grep -q '^HUP INT QUIT' || fail "kill -l"
[ "$("$bin/tyvar" -V)" = "tyvar (kelpa $version)" ] || fail "tyvar -V"
[ "$("$bin/tezzo" -V)" = "tezzo (kelpa $version)" ] || fail "tezzo -V"
"$bin/free" | head -n 1 | grep -q '^ *total *used *free *shared *buffers *cached$' || fail free
"$bin/uptime" | grep -q ' up .* load average: ' || fail uptime
man_out=$(MANWIDTH=200 man -l "$work/root/opt/kelpa/share/man/man1/tyvar.1" 2>&1 | head -n 5)
echo "$man_out" | grep -q 'tyvar - send a signal' || fail "manual page: $man_out"
grep -q '^prefix=${pcfiledir}/../..$' "$work/root/opt/kelpa/lib/pkgconfig/kelpa.pc" || fail "kelpa.pc is not relative to itself"

# The scripts run ldconfig only where the loader searches the library's directory.
dpkg-deb -e "$deb" "$work/control"
mkdir "$work/fakebin"
cat >"$work/fakebin/ldconfig" <<FAKE
#!/bin/sh
if [ "\$1" = -v ]; then printf '%s:\n' \$LOADER_DIRS; else echo called >>"$work/ldconfig.log"; fi
FAKE
chmod +x "$work/fakebin/ldconfig"
for script in postinst postrm; do
  action=$([ $script = postinst ] && echo configure || echo remove)
  : >"$work/ldconfig.log"
  LOADER_DIRS="/lib /usr/lib" PATH="$work/fakebin:$PATH" "$work/control/$script" $action
  [ ! -s "$work/ldconfig.log" ] || fail "$script ran ldconfig for a directory the loader does not search"
  LOADER_DIRS="/usr/lib /opt/kelpa/lib" PATH="$work/fakebin:$PATH" "$work/control/$script" $action
  [ -s "$work/ldconfig.log" ] || fail "$script did not run ldconfig for a directory the loader searches"
done
echo "package $(basename "$deb") checked"
