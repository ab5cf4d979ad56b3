#!/bin/sh
# Makes (mount DIR) or removes (unmount DIR) other spellings of DIR in the
# Wine prefix: a drive letter no one uses and a share of \\localhost. What it
# made goes to DIR/aliases ("LETTER SHARE"), for the test and the unmount.
devices=${WINEPREFIX:-$HOME/.wine}/dosdevices
case "$1" in
  mount)
    [ -d "$devices" ] || exit 0
    for letter in m n o p q r s t u v w x y; do
      { [ -e "$devices/$letter:" ] || [ -L "$devices/$letter:" ]; } && continue
      mkdir -p "$2" "$devices/unc/localhost" && ln -s "$2" "$devices/$letter:" &&
        ln -sfn "$2" "$devices/unc/localhost/update-lock-test" && echo "$letter: update-lock-test" >"$2/aliases"
      break
    done
    ;;
  unmount)
    [ -f "$2/aliases" ] && read -r letter share <"$2/aliases" && rm -f "$devices/$letter" "$devices/unc/localhost/$share"
    rm -f "$2/aliases"
    rmdir "$devices/unc/localhost" "$devices/unc" 2>/dev/null
    ;;
esac
exit 0
