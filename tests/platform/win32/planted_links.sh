#!/bin/sh
# Plants Unix links, as someone who can write an installation's work folder
# could, for the Windows build under Wine, which cannot make them itself
# (make DIR): DIR/planted/to-folder leads to DIR/victim, DIR/planted/to-file
# and DIR/planted/copied-over to DIR/victim/victim.txt; or removes them all
# (remove DIR).
case "$1" in
  make)
    mkdir -p "$2/planted" "$2/victim"
    printf "the victim's" > "$2/victim/victim.txt"
    ln -sfn "$2/victim" "$2/planted/to-folder"
    ln -sfn "$2/victim/victim.txt" "$2/planted/to-file"
    ln -sfn "$2/victim/victim.txt" "$2/planted/copied-over"
    ;;
  remove)
    rm -rf "$2"
    ;;
esac
exit 0
