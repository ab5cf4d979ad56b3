#!/bin/sh
# Mounts a small file system at DIR/volume and makes DIR/install, its folder "addons" linked
# there (mount DIR), or removes both (unmount DIR); as small_disk.sh, root only.
case "$1" in
  mount)
    [ "$(id -u)" = 0 ] || exit 0
    mkdir -p "$2/volume" "$2/install"
    mountpoint -q "$2/volume" || mount -t tmpfs -o size=16m tmpfs "$2/volume" 2>/dev/null || exit 0
    mkdir -p "$2/volume/addons" && { [ -L "$2/install/addons" ] || ln -s "$2/volume/addons" "$2/install/addons"; }
    ;;
  unmount)
    if mountpoint -q "$2/volume"; then umount "$2/volume" 2>/dev/null || umount -l "$2/volume"; fi
    rm -rf "$2"
    ;;
esac
exit 0
