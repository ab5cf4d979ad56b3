#!/bin/sh
# Mounts (mount DIR) or unmounts (unmount DIR) an installation that the update
# run may not write, for its refusal before the stop: DIR/view shows
# DIR/source read-only, and DIR/work is bound writable over DIR/view/temp so
# that the extraction still succeeds. Binds of one file system: Wine takes a
# folder on which another file system is mounted for a link. As in
# small_disk.sh: root only, otherwise nothing happens and the test says why it
# skips; mounts of the host, so that the Wine server sees them.
case "$1" in
  mount)
    [ "$(id -u)" = 0 ] || exit 0
    mkdir -p "$2/source/temp" "$2/view" "$2/work"
    if ! mountpoint -q "$2/view"; then
      { mount --bind "$2/source" "$2/view" && mount --make-private "$2/view" &&
          mount -o remount,bind,ro "$2/view" && mount --bind "$2/work" "$2/view/temp"; } 2>/dev/null
    fi
    ;;
  unmount)
    # Innermost first; a busy one is detached and freed once it is let go.
    for dir in "$2/view/temp" "$2/view"; do
      if mountpoint -q "$dir"; then umount "$dir" 2>/dev/null || umount -l "$dir"; fi
    done
    ;;
esac
exit 0
