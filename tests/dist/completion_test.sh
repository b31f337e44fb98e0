#!/usr/bin/env bash
# Drives the bash completion of kestrova3d-cli as bash would and checks what it offers.
set -uo pipefail
script=$(realpath "${1:?usage: completion_test.sh COMPLETION_SCRIPT COMMANDS_DEF}")
commands_def=$(realpath "${2:?}")
# shellcheck source=/dev/null
source "$script"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
touch a.dfkv b.ep3t c.bsp d.pk3 e.cfg f.kv3dsx g.txt h.cam i.obj
mkdir maps
fail=0

# Offers for the command line LINE (the last word is the one being completed), sorted.
offers() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _kestrova3d_cli
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//'
}

check() {
    local got
    got=$(offers "$1")
    if [ "$got" != "$2" ]; then
        echo "FAIL: '$1' offers [$got], expected [$2]"
        fail=1
    fi
}

check "kestrova3d-cli ma" "map-export map-info"
check "kestrova3d-cli --locale fr_FR s" "script"
check "kestrova3d-cli --lo" "--locale"
check "kestrova3d-cli --locale f" "fr_FR"
check "kestrova3d-cli check " "a.dfkv b.ep3t maps"
check "kestrova3d-cli --locale fr_FR path " "a.dfkv b.ep3t maps"
check "kestrova3d-cli map-info " "c.bsp d.pk3 maps"
check "kestrova3d-cli script a.dfkv -o " "e.cfg maps"
check "kestrova3d-cli export a.dfkv -o " "f.kv3dsx h.cam maps"
check "kestrova3d-cli import-cam " "h.cam maps"
check "kestrova3d-cli import-cam h.cam -o " "a.dfkv b.ep3t maps"
check "kestrova3d-cli map-export c.bsp -o " "i.obj maps"
check "kestrova3d-cli map-export c.bsp --" "--help --locale --offset"
check "kestrova3d-cli export a.dfkv --" "--frames --help --locale --seed"
check "kestrova3d-cli path a.dfkv --s" "--script-pitch --seed"
check "kestrova3d-cli path a.dfkv --points " ""
check "kestrova3d-cli check -" "--help --locale"
check "kestrova3d-cli map-info c.bsp --" "--game-folder --help --home-folder --locale"
check "kestrova3d-cli map-info c.bsp --game-folder " "maps"
check "kestrova3d-cli clearance a.dfkv --map " "c.bsp d.pk3 maps"

# Every command of the program is offered, and nothing else that is not an option.
expected=$(sed -n 's/^KESTROVA_CLI_COMMAND("\([^"]*\)".*/\1/p' "$commands_def" | sort | tr '\n' ' ' | sed 's/ $//')
got=$(offers "kestrova3d-cli " | tr ' ' '\n' | grep -v '^-' | tr '\n' ' ' | sed 's/ $//')
if [ -z "$expected" ] || [ "$got" != "$expected" ]; then
    echo "FAIL: commands offered [$got], the program has [$expected]"
    fail=1
fi

[ $fail -eq 0 ] && echo "completion OK"
exit $fail
