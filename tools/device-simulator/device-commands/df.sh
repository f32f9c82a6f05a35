#!/bin/sh
# df: the host's df, unless the phone was told to report a given free and total storage; then
# one line in the 1K-block columns of Android's df, whatever the arguments.
report=/system/storage
if [ ! -f "$report" ]; then
    exec /usr/bin/df "$@"
fi
free=0
total=0
while IFS='=' read -r key value; do
    case $key in
    free) free=$value ;;
    total) total=$value ;;
    esac
done < "$report"
total_blocks=$((total / 1024))
free_blocks=$((free / 1024))
used_blocks=$((total_blocks - free_blocks))
percent=0
if [ "$total_blocks" -gt 0 ]; then
    percent=$(((used_blocks * 100 + total_blocks - 1) / total_blocks))
fi
printf '%-16s %10s %10s %10s %4s %s\n' Filesystem 1K-blocks Used Available Use% 'Mounted on'
printf '%-16s %10s %10s %10s %4s %s\n' /dev/fuse "$total_blocks" "$used_blocks" "$free_blocks" \
    "$percent%" /storage/emulated
