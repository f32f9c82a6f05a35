#!/bin/sh
# content call --uri content://media --method scan_file --arg PATH: the media provider's scan
# call, answered as a phone whose provider supports it. Nothing else of content is present.
usage() {
    echo "usage: content call --uri content://media --method scan_file --arg PATH" >&2
    exit 1
}
[ "$1" = call ] || usage
shift
uri=
method=
argument=
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case $1 in
    --uri) uri=$2 ;;
    --method) method=$2 ;;
    --arg) argument=$2 ;;
    --user) ;;
    *) usage ;;
    esac
    shift 2
done
if [ "$uri" != content://media ] || [ "$method" != scan_file ]; then
    echo "Error: unsupported call $method on $uri" >&2
    exit 1
fi
if [ -e "$argument" ]; then
    printf 'Result: Bundle[{android.intent.extra.STREAM=content://media/external/file/%s}]\n' \
        "$(stat -c %i "$argument")"
else
    echo 'Result: null'
fi
