#!/bin/sh
# dumpsys battery: the battery service's state; this phone has no other services to dump.
if [ "$1" != battery ]; then
    echo "Can't find service: $1"
    exit 0
fi
level=0
status=1
plugged=none
while IFS='=' read -r key value; do
    case $key in
    level) level=$value ;;
    status) status=$value ;;
    plugged) plugged=$value ;;
    esac
done < /system/battery
ac=false
usb=false
[ "$plugged" = ac ] && ac=true
[ "$plugged" = usb ] && usb=true
cat <<REPORT
Current Battery Service state:
  AC powered: $ac
  USB powered: $usb
  Wireless powered: false
  Max charging current: 500000
  Max charging voltage: 5000000
  Charge counter: $((level * 30000))
  status: $status
  health: 2
  present: true
  level: $level
  scale: 100
  voltage: $((3500 + level * 7))
  temperature: 250
  technology: Li-ion
REPORT
