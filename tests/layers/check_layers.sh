#!/usr/bin/env bash
# Checks that the includes of the source folders point down the layers:
#   text -> data -> analysis -> naming -> ui -> the features -> app
# A lower layer never includes a higher one; a feature never includes another feature or app/;
# cli/ and tools/ use the logic, never ui/, app/ or a window.
# Usage: check_layers.sh SOURCE_ROOT. Prints every include that points the wrong way.
set -euo pipefail
root=${1:?usage: check_layers.sh SOURCE_ROOT}
cd "$root"

low=(text data analysis naming ui)
features=(auto_naming manual_naming semi_auto_naming recommend)

rank() {  # the position of a low layer, or nothing
    local i
    for i in "${!low[@]}"; do [ "${low[$i]}" = "$1" ] && echo "$i" && return; done
    return 0
}
is_feature() { local f; for f in "${features[@]}"; do [ "$f" = "$1" ] && return 0; done; return 1; }

allowed() {  # allowed FROM_FOLDER INCLUDED_PATH
    local from=$1 path=$2 to=${2%%/*}
    [ "$to" = "$from" ] && return 0
    local rf rt
    rf=$(rank "$from"); rt=$(rank "$to")
    if [ -n "$rf" ]; then
        [ -n "$rt" ] && [ "$rt" -lt "$rf" ]
        return
    fi
    if is_feature "$from"; then
        [ -n "$rt" ]
        return
    fi
    case $from in
        app) [ "$to" != cli ] && [ "$to" != tools ] && [ "$to" != tests ] ;;
        cli | tools)
            [ "$to" != ui ] && [ "$to" != app ] && [ "$to" != cli ] && [[ $path != *_window.h ]] ;;
        *) return 0 ;;
    esac
}

bad=0
checked=0
while IFS= read -r file; do
    from=${file%%/*}
    case $from in tests | bench | build* | .*) continue ;; esac
    [[ $file == */* ]] || continue
    while IFS= read -r inc; do
        checked=$((checked + 1))
        if ! allowed "$from" "$inc"; then
            echo "$file includes $inc"
            bad=$((bad + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort)

echo "$checked includes checked, $bad pointing the wrong way"
[ "$bad" -eq 0 ]
