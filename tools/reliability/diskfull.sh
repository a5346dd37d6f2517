#!/usr/bin/env bash
# Runs the full-disk check on a tiny tmpfs in an unprivileged user and mount namespace.
# Exit 77 (skipped) where namespaces are not available.
set -u
tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unshare -rm true 2>/dev/null || { echo "no user namespaces here: skipped"; exit 77; }
unshare -rm bash -c "mount -t tmpfs -o size=256k tmpfs '$scratch' && '$tool' disk-full '$scratch'"
