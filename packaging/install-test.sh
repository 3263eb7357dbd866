#!/bin/sh
# Builds the package of a build folder, checks what it holds, unpacks it into a scratch root
# and reads the simulator with the program from there.
# Usage: install-test.sh BUILD/CPackConfig.cmake
set -eu
config=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if ! cpack --config "$config" -B "$scratch/package" > "$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  exit 1
fi
deb=$(ls "$scratch"/package/*.deb)
dpkg -c "$deb" | awk '{ print $6 }' > "$scratch/contents"
for file in ./usr/bin/lanterna-cli ./usr/bin/fennec-sim ./usr/lib/lanterna/lanterna-cli ./usr/lib/lanterna/fennec-sim \
    ./usr/lib/lanterna/LANTERNA.INI ./usr/lib/libfennec.so.4 ./usr/share/man/man1/lanterna-cli.1.gz \
    ./usr/share/man/man1/fennec-sim.1.gz ./usr/share/bash-completion/completions/lanterna-cli; do
  if ! grep -qx "$file" "$scratch/contents"; then
    echo "the package lacks $file; it holds:"
    cat "$scratch/contents"
    exit 1
  fi
done

root=$scratch/root
dpkg -x "$deb" "$root"
program=$root/usr/bin/lanterna-cli
# Nothing of the build folder: the library comes from the root. (ldd takes $ORIGIN from the
# name it is given, the loader from the program's real place.)
found=$(ldd "$root/usr/lib/lanterna/lanterna-cli" | awk '$1 == "libfennec.so.4" { print $3 }')
if [ "$(readlink -f "$found")" != "$(readlink -f "$root/usr/lib/libfennec.so.4")" ]; then
  echo "the installed lanterna-cli does not take the installed libfennec.so.4:"
  ldd "$root/usr/lib/lanterna/lanterna-cli"
  exit 1
fi
export FENNEC_SIM_STATE="$scratch/state" FENNEC_REGISTRY="$scratch/registry.xml" LC_ALL=C
"$program" --connection SIM read > "$scratch/read.txt" 2> "$scratch/log.txt" || {
  cat "$scratch/log.txt"
  exit 1
}
# The shipped INI admits the device: its pages and their values are there.
grep -q '^# Admissible: yes' "$scratch/read.txt" || { cat "$scratch/read.txt"; exit 1; }
grep -qx 'TCPIP.IPAddress=192.168.1.17' "$scratch/read.txt" || { cat "$scratch/read.txt"; exit 1; }
"$root/usr/bin/fennec-sim" --help | grep -q -- '--profile'
echo "installed from $deb and read the simulator"
