#!/bin/sh
# am broadcast ...: the activity manager accepts the broadcast; nothing on this phone receives it.
if [ "$1" != broadcast ]; then
    echo "Error: only 'am broadcast' is available on this phone" >&2
    exit 1
fi
shift
action=
data=
while [ $# -gt 0 ]; do
    case $1 in
    -a) action=${2-} ;;
    -d) data=${2-} ;;
    esac
    [ $# -ge 2 ] && shift
    shift
done
printf 'Broadcasting: Intent { act=%s dat=%s flg=0x400000 }\n' "$action" "$data"
echo 'Broadcast completed: result=0'
