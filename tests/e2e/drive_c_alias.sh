#!/bin/sh
# add DIR: gives Wine's drive C the first free letter from M: on (a link in
# dosdevices, which also claims it) and names it in DIR/letter; remove DIR
# takes it away again.
devices="${WINEPREFIX:-$HOME/.wine}/dosdevices"
if [ "$1" = add ]; then
  mkdir -p "$2" && rm -f "$2/letter"
  for l in m n o p q r s t u v w x y; do
    ln -s ../drive_c "$devices/$l:" 2>/dev/null && echo "$l:" > "$2/letter" && break
  done
elif [ -f "$2/letter" ]; then
  rm -f "$devices/$(cat "$2/letter")" "$2/letter"
fi
exit 0
