#!/bin/sh
# Folders depend one way: core <- framework <- editor, highlight, tools, plot <- app. The
# command-line tool and the toolpath interpreter stand on the core alone; the verification of
# the coordinate functions on the core and the interpreter. Prints every
# include that reaches the wrong way and fails when there is one.
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
check() {
    folder="$1"
    allowed="$2"
    [ -d "$root/src/$folder" ] || return 0
    wrong=$(grep -rnE '^#include "[a-z]+/' "$root/src/$folder" | while IFS= read -r hit; do
        target=$(printf '%s\n' "$hit" | sed -E 's/.*#include "([a-z]+)\/.*/\1/')
        case " $allowed " in
        *" $target "*) ;;
        *) printf '%s\n' "${hit#"$root/"}" ;;
        esac
    done)
    if [ -n "$wrong" ]; then
        printf '%s\n' "$wrong"
        status=1
    fi
}
check core "core"
check toolpath "core toolpath"
check verify "core toolpath verify"
check cli "core toolpath verify cli"
check framework "core toolpath verify framework"
check editor "core toolpath verify framework editor"
check highlight "core toolpath verify framework highlight"
check tools "core toolpath verify framework tools"
check plot "core toolpath verify framework plot"
check app "core toolpath verify framework editor highlight tools plot app"
exit $status
