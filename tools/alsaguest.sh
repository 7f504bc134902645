#!/usr/bin/env bash
# alsaguest.sh COMMAND [ARG...]
#
# Runs COMMAND inside a throw-away QEMU guest whose kernel has an ALSA
# sequencer (/dev/snd/seq), for machines whose own kernel has no sound
# support, and exits with COMMAND's status: 124 when the time ran out, 125
# when the guest failed (the end of its console is printed then).
#
#   - The guest runs Debian 12's 6.1 kernel (linux-image-amd64's current
#     linux-image-6.1.0-N-amd64), fetched with `apt-get download` and
#     unpacked into the cache: nothing is installed on this machine.
#   - Its root is this machine's "/", shared read-only over virtio-9p under a
#     tmpfs overlay: the same programs and libraries; whatever the guest
#     writes outside the working folder is thrown away.
#   - The current folder is shared read-write at the same path and is
#     COMMAND's working folder, so build trees and logs stay on this machine.
#   - Before COMMAND the guest loads TARN_GUEST_MODULES and mounts /proc,
#     /sys, /dev, /dev/pts, /dev/shm and /run.
#   - COMMAND gets this shell's exported environment; its standard output
#     and error come back over two virtio serial ports; its input is
#     /dev/null. At the end every process of the guest is stopped with it.
#
# Under KVM where the processor offers it, otherwise under TCG (software
# emulation: 12 to 14 s to boot and power off, programs about 3 times slower).
#
#   TARN_GUEST_CACHE    kernel and initramfs (default ~/.cache/tarnapp-guest)
#   TARN_GUEST_MODULES  default "snd-seq snd-seq-dummy snd-virmidi"
#   TARN_GUEST_TIMEOUT  seconds before the guest is stopped (default 1800)
#   TARN_GUEST_CPUS     default: this machine's count
#   TARN_GUEST_MEM      MiB (default 2048)
#
# Needs qemu-system-x86, kmod, gcc with libc6-dev's static libc and python3
# (tools/setup.sh installs them); runs as root (9p's view of "/").
set -euo pipefail

me=${0##*/}
say() { echo "$me: $*" >&2; }

if (($# == 0)); then
    sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0" >&2
    exit 2
fi

cache=${TARN_GUEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnapp-guest}
modules=${TARN_GUEST_MODULES:-snd-seq snd-seq-dummy snd-virmidi}
limit=${TARN_GUEST_TIMEOUT:-1800}
cpus=${TARN_GUEST_CPUS:-$(nproc)}
mem=${TARN_GUEST_MEM:-2048}
PATH=$PATH:/usr/sbin:/sbin

for tool in qemu-system-x86_64 modprobe depmod gcc python3; do
    command -v "$tool" >/dev/null || { say "$tool is missing (packages qemu-system-x86 kmod gcc libc6-dev python3)"; exit 125; }
done

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9 # one preparer at a time

# --- The kernel, unpacked ---------------------------------------------------
kroot=$cache/kernel
if ! compgen -G "$kroot/boot/vmlinuz-*" >/dev/null; then
    package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
    [[ -n $package ]] || { say "apt-cache knows no linux-image-amd64 (apt-get update?)"; exit 125; }
    say "fetching the guest kernel $package"
    rm -rf "$kroot.tmp"
    mkdir -p "$kroot.tmp"
    (cd "$kroot.tmp" && apt-get -q -o APT::Sandbox::User=root download "$package" >&2)
    dpkg-deb -x "$kroot.tmp"/*.deb "$kroot.tmp"
    rm -f "$kroot.tmp"/*.deb
    depmod -b "$kroot.tmp" "$(basename "$(ls -d "$kroot.tmp"/lib/modules/*)")"
    mv "$kroot.tmp" "$kroot"
fi
vmlinuz=$(ls "$kroot"/boot/vmlinuz-* | tail -n 1)
kver=${vmlinuz##*/vmlinuz-}

# --- The initramfs: a static init and the modules for 9p and overlayfs --------
# Rebuilt when this part of the script changes.
initrd=$cache/initramfs-$kver.cpio
stamp=$(sed -n '/^# --- The initramfs/,/^flock -u 9/p' "$0" | cksum | cut -d' ' -f1)
if [[ ! -s $initrd || $(cat "$initrd.stamp" 2>/dev/null) != "$stamp" ]]; then
    say "building the initramfs for $kver"
    work=$(mktemp -d "$cache/initramfs.XXXXXX")
    mkdir -p "$work/root/modules" "$work/root/lower" "$work/root/rw" "$work/root/newroot"
    cat >"$work/init.c" <<'EOF_INIT'
/* The guest's first process: loads /modules/order, mounts this machine's root
 * (9p tag "hostroot") read-only under a tmpfs overlay and the job folder
 * (tag "job") at /guest-job, switches root, runs /guest-job/stage2.sh, reaps
 * orphans until it ends, stops every other process and powers off. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

static void say(const char *what) { dprintf(2, "guest init: %s: %s\n", what, strerror(errno)); }

static void off(void)
{
    sync();
    reboot(RB_POWER_OFF);
    for (;;) pause();
}

static void mnt(const char *src, const char *dst, const char *type, unsigned long flags, const char *data)
{
    mkdir(dst, 0755);
    for (int i = 0; i < 100; i++) { /* a 9p channel may come a moment after its module */
        if (mount(src, dst, type, flags, data) == 0) return;
        if (errno != ENOENT && errno != ENODEV) break;
        usleep(20000);
    }
    say(dst);
    off();
}

int main(void)
{
    mkdir("/dev", 0755);
    mount("devtmpfs", "/dev", "devtmpfs", 0, NULL);
    int c = open("/dev/console", O_RDWR);
    if (c >= 0) { dup2(c, 0); dup2(c, 1); dup2(c, 2); if (c > 2) close(c); }

    FILE *order = fopen("/modules/order", "r");
    char line[512];
    while (order && fgets(line, sizeof line, order)) {
        line[strcspn(line, "\n")] = 0;
        int fd = *line ? open(line, O_RDONLY | O_CLOEXEC) : -1;
        if (*line && (fd < 0 || (syscall(SYS_finit_module, fd, "", 0) != 0 && errno != EEXIST))) say(line);
        if (fd >= 0) close(fd);
    }

    mnt("hostroot", "/lower", "9p", MS_RDONLY, "trans=virtio,version=9p2000.L,msize=262144,cache=loose,ro");
    mnt("tmpfs", "/rw", "tmpfs", 0, "mode=0755");
    mkdir("/rw/upper", 0755);
    mkdir("/rw/work", 0755);
    mnt("overlay", "/newroot", "overlay", 0, "lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work");
    mnt("job", "/newroot/guest-job", "9p", 0, "trans=virtio,version=9p2000.L,msize=262144,cache=none");
    umount2("/dev", MNT_DETACH);
    if (chdir("/newroot") || mount(".", "/", NULL, MS_MOVE, NULL) || chroot(".") || chdir("/")) {
        say("switch root");
        off();
    }

    pid_t stage2 = fork();
    if (stage2 == 0) {
        setsid();
        execl("/bin/bash", "bash", "/guest-job/stage2.sh", (char *)NULL);
        _exit(127);
    }
    for (;;) {
        pid_t p = wait(NULL);
        if (p == stage2 || (p < 0 && errno == ECHILD)) break;
    }
    kill(-1, SIGTERM);
    for (int i = 0; i < 20 && waitpid(-1, NULL, WNOHANG) >= 0; i++) usleep(50000);
    kill(-1, SIGKILL);
    while (waitpid(-1, NULL, 0) > 0) {}
    off();
    return 0;
}
EOF_INIT
    gcc -static -O2 -o "$work/root/init" "$work/init.c"
    : >"$work/root/modules/order"
    for module in 9pnet_virtio virtio_pci 9p overlay virtio_console; do
        modprobe -d "$kroot" -S "$kver" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
    done | awk '!seen[$0]++' | while read -r ko; do
        cp "$ko" "$work/root/modules/"
        echo "/modules/${ko##*/}" >>"$work/root/modules/order"
    done
    # A cpio "newc" archive of $work/root, with /dev/console (no cpio needed).
    python3 - "$work/root" "$initrd.tmp" <<'EOF_CPIO'
import os, stat, sys
root, out = sys.argv[1], sys.argv[2]
ino = [0]
def entry(f, name, mode, data=b"", rdev=(0, 0)):
    ino[0] += 1
    name_b = name.encode() + b"\0"
    hdr = "070701" + "".join("%08X" % v for v in (
        ino[0], mode, 0, 0, 1, 0, len(data), 0, 0, rdev[0], rdev[1], len(name_b), 0))
    f.write(hdr.encode() + name_b)
    f.write(b"\0" * (-(110 + len(name_b)) % 4))
    f.write(data)
    f.write(b"\0" * (-len(data) % 4))
with open(out, "wb") as f:
    entry(f, "dev", stat.S_IFDIR | 0o755)
    entry(f, "dev/console", stat.S_IFCHR | 0o600, rdev=(5, 1))
    for d, dirs, files in os.walk(root):
        dirs.sort()
        for n in dirs:
            entry(f, os.path.relpath(os.path.join(d, n), root), stat.S_IFDIR | 0o755)
        for n in sorted(files):
            p = os.path.join(d, n)
            entry(f, os.path.relpath(p, root), stat.S_IFREG | (os.stat(p).st_mode & 0o777),
                  open(p, "rb").read())
    entry(f, "TRAILER!!!", 0)
EOF_CPIO
    mv "$initrd.tmp" "$initrd"
    echo "$stamp" >"$initrd.stamp"
    rm -rf "$work"
fi
flock -u 9
exec 9>&-

# --- The job: command, environment, working folder ----------------------------
cwd=$(pwd -P)
job=$(mktemp -d /tmp/tarnapp-guest.XXXXXX)
qemu_pid=
cleanup() {
    if [[ -n $qemu_pid ]]; then
        kill -TERM "$qemu_pid" 2>/dev/null || true
        wait "$qemu_pid" 2>/dev/null || true
    fi
    rm -rf "$job"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

{
    printf 'command=('
    printf '%q ' "$@"
    printf ')\ncwd=%q\nkroot=%q\nkver=%q\nmodules=%q\n' "$cwd" "$kroot" "$kver" "$modules"
} >"$job/job"
while read -r name; do
    case $name in
    PWD | OLDPWD | SHLVL | _ | BASH_* | TARN_GUEST_*) continue ;;
    esac
    printf 'export %s=%q\n' "$name" "${!name}"
done < <(compgen -e) >"$job/env"

cat >"$job/stage2.sh" <<'EOF_STAGE2'
# Run by the guest's init on the overlay root: the system, the modules, the command.
job=/guest-job
exec </dev/null
. "$job/job"
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts /dev/pts
mount -t tmpfs -o mode=1777 tmpfs /dev/shm
ln -sfn /proc/self/fd /dev/fd
mount -t tmpfs -o mode=755 tmpfs /run
ip link set lo up 2>/dev/null
modprobe -a -d "$kroot" -S "$kver" $modules || echo "guest: modprobe $modules failed" >&2
if [[ $cwd != / ]]; then
    mkdir -p "$cwd"
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=mmap cwd "$cwd" ||
        echo "guest: could not mount the working folder $cwd" >&2
fi
. "$job/env"
[[ -n ${XDG_RUNTIME_DIR:-} ]] && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
port_of() { # the virtio serial port named $1
    local d
    for d in /sys/class/virtio-ports/*; do
        [[ $(cat "$d/name" 2>/dev/null) == "$1" ]] && echo "/dev/${d##*/}"
    done
}
out=$(port_of out)
err=$(port_of err)
cd "$cwd" || exit 1
"${command[@]}" >"${out:-/dev/console}" 2>"${err:-/dev/console}" </dev/null
echo "$?" >"$job/status"
sync
EOF_STAGE2

# --- The guest -----------------------------------------------------------------
# KVM only with hardware virtualisation: a /dev/kvm without vmx or svm (a
# paravirtual KVM) cannot boot a stock kernel.
if [[ -r /dev/kvm && -w /dev/kvm ]] && grep -qwE 'vmx|svm' /proc/cpuinfo; then
    accel=kvm cpu=host
else
    accel=tcg cpu=max
fi
# The output comes through FIFOs copied by cat, so that a caller's file
# offsets are kept (QEMU opening /dev/fd/1 would write from its own offset).
mkfifo "$job/out" "$job/err"
cat "$job/out" &
cat_out=$!
cat "$job/err" >&2 &
cat_err=$!
timeout -s TERM -k 10 "$limit" qemu-system-x86_64 -nodefaults -no-user-config -display none \
    -monitor none -no-reboot -machine q35 -accel "$accel" -cpu "$cpu" -smp "$cpus" -m "$mem" \
    -kernel "$vmlinuz" -initrd "$initrd" \
    -append "console=ttyS0 quiet loglevel=4 panic=-1 rdinit=/init mitigations=off i8042.noaux i8042.nokbd i8042.nopnp" \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev "local,id=job,path=$job,security_model=none" \
    -device virtio-9p-pci,fsdev=job,mount_tag=job \
    -fsdev "local,id=cwd,path=$cwd,security_model=none,multidevs=remap" \
    -device virtio-9p-pci,fsdev=cwd,mount_tag=cwd \
    -chardev "file,id=con,path=$job/console.log" -serial chardev:con \
    -device virtio-serial-pci,id=vser \
    -chardev "file,id=out,path=$job/out" -device virtserialport,bus=vser.0,chardev=out,name=out \
    -chardev "file,id=err,path=$job/err" -device virtserialport,bus=vser.0,chardev=err,name=err \
    </dev/null &
qemu_pid=$! # timeout's, which passes a signal on to QEMU
qemu_status=0
wait "$qemu_pid" || qemu_status=$?
qemu_pid=
wait "$cat_out" "$cat_err" 2>/dev/null || true # all the output before the status

if ((qemu_status == 124 || qemu_status == 137)); then
    say "timed out after $limit s"
    exit 124
fi
if [[ ! -s $job/status ]]; then
    say "the guest ended without the command's status (qemu status $qemu_status); its console:"
    tail -n 40 "$job/console.log" >&2 || true
    exit 125
fi
exit "$(cat "$job/status")"
