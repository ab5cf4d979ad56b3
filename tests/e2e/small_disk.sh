#!/bin/sh
# Mounts (mount DIR) or unmounts (unmount DIR) a small file system of its own
# for the full-disk install test. Only root can mount; otherwise, or where
# mounting is not allowed, nothing happens and the test says why it skips.
# A mount of the host, not of a private namespace: the Wine server must see it.
case "$1" in
  mount)
    [ "$(id -u)" = 0 ] || exit 0
    mkdir -p "$2"
    mountpoint -q "$2" || mount -t tmpfs -o size=160m tmpfs "$2" 2>/dev/null || true
    ;;
  unmount)
    # A program that a failed test left running from it keeps it busy:
    # detached then, and freed once that program ends.
    if mountpoint -q "$2"; then umount "$2" 2>/dev/null || umount -l "$2"; fi
    ;;
esac
exit 0
