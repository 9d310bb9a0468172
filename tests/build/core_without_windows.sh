#!/usr/bin/env bash
# Fails when a file of itm_core includes a file of itm_gui or a header of Qt
# Widgets or Qt PrintSupport: the library without windows, which itm-cli
# links alone, must never need the windows' library.
#   core_without_windows.sh <src folder> --core <files...> --gui <files...>
#       --qt <include folders of Qt Widgets and Qt PrintSupport...>
set -euo pipefail
src=$1
shift
core=()
gui=()
qt=()
list=
for arg in "$@"; do
    case $arg in
    --core | --gui | --qt) list=$arg ;;
    *)
        case $list in
        --core) core+=("$arg") ;;
        --gui) gui+=("$arg") ;;
        --qt) qt+=("$arg") ;;
        esac
        ;;
    esac
done
if ((${#core[@]} == 0 || ${#gui[@]} == 0)); then
    echo "no files of itm_core or of itm_gui given" >&2
    exit 2
fi

declare -A isGui
for file in "${gui[@]}"; do
    isGui[${file#"$src"/}]=1
done

# Qt's own headers of the two modules, by the names a file includes them by.
declare -A isWindowHeader
for dir in "${qt[@]}"; do
    module=${dir##*/}
    case $module in
    QtWidgets | QtPrintSupport) ;;
    *) continue ;;
    esac
    for header in "$dir"/*; do
        name=${header##*/}
        isWindowHeader[$name]=1
        isWindowHeader[$module/$name]=1
    done
done
if ((${#isWindowHeader[@]} == 0)); then
    echo "the headers of QtWidgets were not found" >&2
    exit 2
fi

existing=()
for file in "${core[@]}"; do
    [ -f "$file" ] && existing+=("$file")
done
faults=0
while IFS=: read -r file included; do
    if [ -n "${isGui[$included]:-}" ] || [ -n "${isWindowHeader[$included]:-}" ]; then
        echo "${file#"$src"/} includes $included, which belongs to the windows"
        faults=$((faults + 1))
    fi
done < <(grep -H -E '^[[:space:]]*#[[:space:]]*include' "${existing[@]}" \
    | sed -E 's/^([^:]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1:\2/')
if ((faults)); then
    exit 1
fi
echo "${#existing[@]} files of itm_core include nothing of the windows"
