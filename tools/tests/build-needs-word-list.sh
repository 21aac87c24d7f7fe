#!/usr/bin/env bash
# A tree configured without the American word list must fail, not build with the spelling tests
# skipped: configure one in a scratch folder with the list pointed at nothing.
set -u
root=$1 toolchain=$2
work=$(mktemp -d /tmp/zel-wordlist.XXXXXX)
trap 'rm -rf "$work"' EXIT
if cmake -S "$root" -B "$work/build" -G Ninja -DZEL_WORDLIST_AMERICAN="$work/no-such-list" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >"$work/log" 2>&1; then
  echo "the tree was configured without the word list"
  exit 1
fi
if ! grep -q "no-such-list is missing" "$work/log"; then
  echo "configuring failed, but not for the word list:"
  cat "$work/log"
  exit 1
fi
echo "configuring without the word list fails, as it must"
