#!/usr/bin/env bash
# Checks the staged package's binaries natively, without Windows: each spooler loads only
# DLLs of its own kind, so x86/ must hold PE32 (i386) files and x64/ PE32+ (x86-64) ones;
# the configuration DLL must export its entry points undecorated; and no binary may
# need a compiler runtime DLL, since nothing puts one beside the driver.
#
#   check-architectures.sh <package-stage folder>
set -uo pipefail
stage=${1:?usage: check-architectures.sh <package-stage folder>}
passed=0
failed=0

check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}

format_is() { objdump -f "$1" 2>/dev/null | grep -q "file format $2\$"; }
exports() { objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -qw "$2"; }
self_contained() { ! objdump -p "$1" | grep -i "DLL Name:" | grep -qiE "libstdc|libgcc|libwinpthread"; }

for dll in Unidrv.dll Unidrvui.dll Unires.dll GOEMUNI.dll Z613.DLL; do
    check "x86/$dll is PE32 i386" format_is "$stage/x86/$dll" pei-i386
    check "x64/$dll is PE32+ x86-64" format_is "$stage/x64/$dll" pei-x86-64
    check "x86/$dll needs no runtime DLL" self_contained "$stage/x86/$dll"
    check "x64/$dll needs no runtime DLL" self_contained "$stage/x64/$dll"
done
monitor="$stage/STM/Version - 1.01.011.exe"
check "the status monitor is PE32 i386" format_is "$monitor" pei-i386
check "the status monitor needs no runtime DLL" self_contained "$monitor"

for arch in x86 x64; do
    for entry in DrvDocumentPropertySheets DrvDeviceCapabilities DrvDevicePropertySheets; do
        check "$arch/Unidrvui.dll exports $entry" exports "$stage/$arch/Unidrvui.dll" "$entry"
    done
    check "$arch/GOEMUNI.dll exports DllGetClassObject" \
        exports "$stage/$arch/GOEMUNI.dll" DllGetClassObject
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
