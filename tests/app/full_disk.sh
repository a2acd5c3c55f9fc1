#!/bin/sh
# Runs orvane-cli with its home and calendars on a 512 KiB tmpfs, in a mount namespace of
# its own (no mount is left behind). Prints one line per step: "STEP rc=N", then the
# command's standard output and error, each on one line. Exit 77 when no such namespace
# can be made here.
#   full_disk.sh CLI HOST:PORT SHOW_LINK OTHER_SHOW_LINK
set -u
cli=$1 host=$2 link=$3 other=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disk="$work/disk"
mkdir "$disk"
exec unshare --mount --map-root-user sh -s "$cli" "$host" "$link" "$other" "$work" "$disk" <<'SCRIPT'
set -u
cli=$1 host=$2 link=$3 other=$4 work=$5 disk=$6
mount -t tmpfs -o size=512k tmpfs "$disk" || exit 77
export ORVANE_HOME="$disk/home"
# What is checked here is the full disk. Inside this user namespace, on a busy machine,
# LeakSanitizer cannot always stop the process's threads at exit and then reports objects
# those threads still hold; the other terminal tests check leaks of the same commands.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
step() {
    name=$1
    shift
    "$cli" --content-host "$host" --calendar-dir "$disk/cal" "$@" >"$work/out" 2>"$work/err"
    echo "$name rc=$?"
    echo "  out: $(tr '\n' ' ' <"$work/out")"
    echo "  err: $(tr '\n' ' ' <"$work/err")"
}
step favourite favorites add 5
step remind-first remind "$other"
# Fill the disk to the last block.
dd if=/dev/zero of="$disk/fill" bs=4k >/dev/null 2>&1
step full-remind remind "$link"
step full-favourite-add favorites add 6
step full-favourite-remove favorites remove 5
step full-program program 5
echo "empty files: $(find "$disk/cal" -type f -size 0 | tr '\n' ' ')"
rm "$disk/fill"
step freed-remind remind "$link"
step freed-favourites --json favorites
echo "calendar files: $(find "$disk/cal" -name '*.ics' | wc -l)"
SCRIPT
