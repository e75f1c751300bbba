#!/usr/bin/env bash
# Exit 0 when this machine can start 32-bit x86 Linux programs (Wine's 32-bit
# loader is one). Checks the real thing: the 32-bit dynamic loader must run.
[ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
