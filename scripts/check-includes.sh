#!/usr/bin/env bash
# Fails, naming the lines, when a source includes a header of a layer above its
# own, or when a file below the windows includes Qt Widgets or Qt Gui. The
# layers, from the ground up (docs/architecture.md): each may include its own
# headers and those of the layers before it.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(platform common settings store engine udp history runtime common/ui settings/ui history/ui app)
# The converter's code needs nothing of the program; the engine and what is
# above it may run it in process, and the CoreConverter command is a main
# around it.
declare -A allowed
allowed[converter]="converter"
allowed[tools]="converter"
# The record-file tool works through the record layer and what is under it.
allowed[tools/ks3_records]="platform common settings store"
# The automation component reads the registry file and validates with the converter.
allowed[tools/dMCScripting]="platform converter"
below=""
for layer in "${layers[@]}"; do
    below="$below $layer"
    allowed[$layer]="$below"
    case $layer in engine | udp | history | runtime | */ui | app) allowed[$layer]+=" converter" ;; esac
done
ui_layers=" common/ui settings/ui history/ui app "

qt_headers=""
for d in "$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || true)" /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6; do
    if [ -n "$d" ] && [ -d "$d/QtWidgets" ]; then
        qt_headers="$d"
        break
    fi
done

# The layer of a path below src/ ("common/ui/FrmMsgBox.h" -> common/ui), empty
# for a path of no layer.
layer_of() {
    local p=$1 top rest
    top=${p%%/*}
    rest=${p#*/}
    if [[ $rest == ui/* && -n ${allowed[$top/ui]:-} ]]; then
        echo "$top/ui"
    elif [[ -n ${allowed[$top]:-} && $top != tools ]]; then
        echo "$top"
    fi
}

# True when <name> is a header of Qt Widgets or Qt Gui.
is_window_header() {
    local name=$1
    [[ $name == QtWidgets* || $name == QtGui* ]] && return 0
    [ -n "$qt_headers" ] || return 1
    [[ $name == */* ]] && return 1
    [ -e "$qt_headers/QtWidgets/$name" ] || [ -e "$qt_headers/QtGui/$name" ]
}

bad=()
checked=0
while IFS= read -r file; do
    if [[ $file == tools/* ]]; then
        own=tools
        tool=${file#tools/}
        tool=tools/${tool%%/*}
        [ -z "${allowed[$tool]:-}" ] || own=$tool
    else
        own=$(layer_of "${file#src/}")
        [ -n "$own" ] || continue
    fi
    checked=$((checked + 1))
    while IFS=: read -r line text; do
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            header=${BASH_REMATCH[1]}
            [ -e "src/$header" ] || continue
            target=$(layer_of "$header")
            [ -n "$target" ] || continue
            if [[ " ${allowed[$own]} " != *" $target "* ]]; then
                bad+=("$file:$line: $own includes $header ($target is not below it)")
            fi
        elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $ui_layers != *" $own "* ]] && is_window_header "$header"; then
                bad+=("$file:$line: $own includes <$header> (windows only in the ui layers and app)")
            fi
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h')

if [ ${#bad[@]} -gt 0 ]; then
    echo "Includes against the layers (docs/architecture.md):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "Includes: $checked sources follow the layers"
