#!/bin/sh
# Checks a built libPavrelUnwind from outside: exactly one exported symbol, a default-visibility
# global function; no library needed but the C library; and nothing imported that allocates,
# locks or keeps state — only the loader's lookups, the page size and plain memory copies (the
# rest are the weak hooks every shared object gets from the C start files).
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

allowed='^(dladdr|dl_iterate_phdr|sysconf|memcpy|memmove|memset|__stack_chk_fail|__cxa_finalize|__gmon_start__|_ITM_registerTMCloneTable|_ITM_deregisterTMCloneTable)$'
unexpected=$(nm -D --undefined-only "$library" | awk '{ print $NF }' | sed 's/@.*//' |
    grep -Ev "$allowed" || true)
if [ -n "$unexpected" ]; then
    echo "imports beyond the loader's lookups and memory copies:"
    echo "$unexpected"
    exit 1
fi
echo "ok"
