#!/usr/bin/env bash
# Fails, naming the file and the include, when a module of src/, engine/ or tools/ includes a
# module that the module table of docs/ARCHITECTURE.md ("May include") does not allow it, directly
# or through the modules it may include. The table is read from the page itself, so the two cannot
# drift apart. Includes of something that is not one of our modules (the engine's own headers,
# generated code, system headers) are not looked at.
#   scripts/check-includes.sh [ROOT]   (ROOT: the repository, by default this script's)
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

# The library a file or an included path belongs to: a folder's library, or the second library
# of a folder that builds two (the codecs in images/, the music in run/, the dialog's views).
unit_of() {
  local path=$1 name=${1##*/}
  name=${name%.*}
  case $path in
    src/images/* | images/*)
      case $name in
        image | codecs | codec_list | codec_internal | bmp_decoder | bmp_encoder | tga_decoder | \
          png_decoder | jpeg_codec | exif | embedded) echo codecs ;;
        *) echo images ;;
      esac ;;
    src/run/music.* | run/music.*) echo music ;;
    src/dialog/view/* | src/dialog/win32/* | dialog/view/* | dialog/win32/* | \
      */dialog/configuration_dialog.* | dialog/configuration_dialog.* | \
      */dialog/config_view.h | dialog/config_view.h | */dialog/uninstall_view.h | \
      dialog/uninstall_view.h) echo dialog_view ;;
    src/*/*) path=${path#src/}; echo "${path%%/*}" ;;
    engine/*) echo engine ;;
    tools/*/*) path=${path#tools/}; echo "${path%%/*}" ;;
    platform/* | settings/* | text/* | web/* | screen/* | scene/* | run/* | dialog/* | app/*)
      echo "${path%%/*}" ;;
    *) echo "" ;;
  esac
}

# "UNIT ALLOWED..." for every row of the table, the libraries named as units.
table=$(awk -F' \\| ' '
  /^## Modules and layers/ { inside = 1; next }
  inside && /^## / { exit }
  inside && /^\| / && !/^\| Module/ && !/^\|---/ {
    libraries = $2
    allowed = $4
    sub(/ \|$/, "", allowed)
    gsub(/`/, "", libraries)
    gsub(/,/, " ", libraries)
    gsub(/,/, " ", allowed)
    n = split(libraries, names, " ")
    for (i = 1; i <= n; i++) {
      unit = names[i]
      sub(/^flurrix_/, "", unit)
      if (unit == "flurrix") unit = "app"
      if (unit == "artgen_lib") unit = "artgen"
      if (unit == "engine" || unit == "recorder" || unit == "soak" || unit == "artgen" ||
          unit == "imgtool" || unit == "app" || unit ~ /^[a-z_]+$/) print unit " " allowed
    }
  }' docs/ARCHITECTURE.md)
[[ -n $table ]] || { echo "check-includes: no module table in docs/ARCHITECTURE.md" >&2; exit 1; }

declare -A direct
order=()
while read -r unit allowed; do
  case $allowed in
    "nothing of ours") allowed="" ;;
    "codecs only") allowed="codecs" ;;
  esac
  if [[ $allowed == "all of the above" ]]; then allowed="${order[*]}"; fi
  direct[$unit]=$allowed
  order+=("$unit")
done <<<"$table"

# What a unit may include: what the table names, and what those may include, down to the bottom.
declare -A closure
reach() {
  local unit=$1 seen=" $1 " queue=($1) next
  while ((${#queue[@]})); do
    next=${queue[0]}
    queue=("${queue[@]:1}")
    for dep in ${direct[$next]:-}; do
      [[ $seen == *" $dep "* ]] && continue
      seen+="$dep "
      queue+=("$dep")
    done
  done
  closure[$unit]=$seen
}
for unit in "${order[@]}"; do reach "$unit"; done

failures=0
while IFS= read -r -d '' file; do
  unit=$(unit_of "$file")
  [[ -n $unit ]] || continue
  if [[ -z ${closure[$unit]+set} ]]; then
    echo "$file: its module ($unit) is not in the module table of docs/ARCHITECTURE.md"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r included; do
    target=$(unit_of "$included")
    [[ -z $target || $target == "$unit" ]] && continue
    if [[ ${closure[$unit]} != *" $target "* ]]; then
      echo "$file includes \"$included\": $unit may not include $target"
      failures=$((failures + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src engine tools \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | sort -z)

if ((failures)); then
  echo "check-includes: $failures include(s) against the module table of docs/ARCHITECTURE.md"
  exit 1
fi
echo "check-includes: every include of src/, engine/ and tools/ keeps to the module table"
