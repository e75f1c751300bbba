#!/usr/bin/env bash
# Exit 0 when this machine runs 32-bit x86 Linux programs natively (Wine's
# 32-bit loader is one). Some kernels have their 32-bit emulation switched off
# ("32-bit emulation disabled" at boot); there the loader cannot start at all.
# Emulating it with qemu's user mode is no way out: Wine's threads and its
# server connection break down under it.
for handler in /proc/sys/fs/binfmt_misc/*; do
  grep -qs 'qemu-i386' "$handler" && exit 1
done
[ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
