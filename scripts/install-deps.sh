#!/usr/bin/env bash
# Installs the Debian packages of the named lists in scripts/packages/ (LIST.txt; every list when
# none is named) that are not installed yet: scripts/install-deps.sh [LIST...]
# ./run.sh installs linux-build (building and running the program), ./test.sh every list.
# Quick when nothing is missing: no apt-get.
set -euo pipefail
cd "$(dirname "$0")/packages"

lists=()
for name in "$@"; do
  [[ -f $name.txt ]] || {
    echo "no package list scripts/packages/$name.txt" >&2
    exit 1
  }
  lists+=("$name.txt")
done
[[ ${#lists[@]} -gt 0 ]] || lists=(./*.txt)

mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]\+/\n/g' "${lists[@]}" | grep -v '^$' | sort -u)
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
