#!/bin/sh
# Mounts a small file system at DIR/volume and makes DIR/install, its folder "addons" linked
# there, and a read-only one at DIR/readonly, the installation's folder "skins" linked
# there (mount DIR), or removes them (unmount DIR); as small_disk.sh, root only.
case "$1" in
  mount)
    [ "$(id -u)" = 0 ] || exit 0
    mkdir -p "$2/volume" "$2/readonly" "$2/install"
    mountpoint -q "$2/volume" || mount -t tmpfs -o size=16m tmpfs "$2/volume" 2>/dev/null || exit 0
    mkdir -p "$2/volume/addons" && { [ -L "$2/install/addons" ] || ln -s "$2/volume/addons" "$2/install/addons"; }
    if ! mountpoint -q "$2/readonly" && mount -t tmpfs -o size=1m tmpfs "$2/readonly" 2>/dev/null; then
      mkdir -p "$2/readonly/skins" && echo "old skin" >"$2/readonly/skins/skin.txt" &&
        mount -o remount,ro "$2/readonly" 2>/dev/null
    fi
    [ -L "$2/install/skins" ] || ln -s "$2/readonly/skins" "$2/install/skins"
    ;;
  unmount)
    for dir in "$2/volume" "$2/readonly"; do
      if mountpoint -q "$dir"; then umount "$dir" 2>/dev/null || umount -l "$dir"; fi
    done
    rm -rf "$2"
    ;;
esac
exit 0
