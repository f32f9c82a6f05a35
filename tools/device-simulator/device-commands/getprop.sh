#!/bin/sh
# getprop [NAME [DEFAULT]]: the phone's system properties, printed as Android's getprop does.
properties=/system/build.prop
if [ $# -eq 0 ]; then
    while IFS= read -r line; do
        printf '[%s]: [%s]\n' "${line%%=*}" "${line#*=}"
    done < "$properties"
    exit 0
fi
while IFS= read -r line; do
    if [ "${line%%=*}" = "$1" ]; then
        printf '%s\n' "${line#*=}"
        exit 0
    fi
done < "$properties"
printf '%s\n' "${2-}"
