#!/bin/sh
# Checks a built libPavrelUnwind from outside: exactly one exported symbol, a default-visibility
# global function, and no library needed but the C library.
set -eu
library=$1

exported=$(nm -D --defined-only "$library" | awk '{ print $2, $3 }')
if [ "$exported" != "T pavrel_unwind_sections_v1" ]; then
    echo "exported symbols, expected only pavrel_unwind_sections_v1:"
    echo "$exported"
    exit 1
fi

if ! readelf --dyn-syms -W "$library" |
    grep -Eq '[[:space:]]FUNC[[:space:]]+GLOBAL[[:space:]]+DEFAULT[[:space:]]+[0-9]+[[:space:]]+pavrel_unwind_sections_v1$'; then
    echo "pavrel_unwind_sections_v1 is not a global function of default visibility"
    exit 1
fi

needed=$(readelf -dW "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
if [ "$needed" != "libc.so.6" ]; then
    echo "needed libraries, expected only libc.so.6:"
    echo "$needed"
    exit 1
fi
echo "ok"
