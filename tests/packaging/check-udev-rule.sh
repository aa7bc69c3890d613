#!/usr/bin/env bash
# check-udev-rule.sh RULE INSTALLED_NAME
# Runs udev's own rule engine over the phone's udev rule, as installed under INSTALLED_NAME
# among the system's rules: `udevadm test` on devices that umockdev fakes (a sysfs tree and
# device nodes of their own), without a udev daemon. It checks that
#   - a tty of the maker's phone (USB vendor 3c5f) gets ID_MM_DEVICE_IGNORE and the tag
#     "uaccess", that 71-seat.rules then tags it for the seat (so the rule comes before it)
#     and that 73-seat-late.rules asks for the uaccess builtin, which gives the seat's user
#     the ACL;
#   - the phone's USB device gets ID_MM_DEVICE_IGNORE, but no access for the seat;
#   - a tty of another vendor gets neither.
# udevadm test writes the udev database (/run/udev) and device links (/dev), so the checks run
# in a private mount namespace with those folders and /etc/udev/rules.d as empty tmpfs.
# Exits 77 (skipped) where no such namespace can be made.
set -euo pipefail

rule=$1
name=$2

if [ "${CONTAXIO_UDEV_NAMESPACE:-}" != 1 ]; then
    namespace=(unshare --mount --propagation private)
    [ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user --mount --propagation private)
    if ! "${namespace[@]}" true 2>/dev/null; then
        echo "SKIP: no private mount namespace can be made here (${namespace[*]})"
        exit 77
    fi
    CONTAXIO_UDEV_NAMESPACE=1 exec "${namespace[@]}" bash "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Empty /dev (but for what programs need), /run and /etc/udev/rules.d for this namespace only.
mkdir "$work/dev"
mount --rbind /dev "$work/dev"
mount -t tmpfs -o mode=755 tmpfs /dev
for node in null zero random urandom full tty; do
    touch "/dev/$node"
    mount --bind "$work/dev/$node" "/dev/$node"
done
umount -l "$work/dev"
mkdir /dev/pts /dev/shm
mount -t devpts -o newinstance,ptmxmode=0666 devpts /dev/pts
ln -s pts/ptmx /dev/ptmx
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /etc/udev/rules.d
cp "$rule" "/etc/udev/rules.d/$name"

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# A USB phone or modem with a CDC-ACM tty, as umockdev-record writes devices.
device() { # vendor product manufacturer
    local usb=/devices/pci0000:00/0000:00:14.0/usb1/1-1
    cat <<DEVICE
P: $usb
N: bus/usb/001/002
E: DEVNAME=/dev/bus/usb/001/002
E: DEVTYPE=usb_device
E: DRIVER=usb
E: PRODUCT=$1/$2/100
E: BUSNUM=001
E: DEVNUM=002
E: MAJOR=189
E: MINOR=1
E: SUBSYSTEM=usb
A: idVendor=$1\n
A: idProduct=$2\n
A: bDeviceClass=ef\n
A: manufacturer=$3\n
A: busnum=1\n
A: devnum=2\n

P: $usb/1-1:1.0
E: DEVTYPE=usb_interface
E: DRIVER=cdc_acm
E: INTERFACE=2/2/1
E: SUBSYSTEM=usb
A: bInterfaceClass=02\n
A: bInterfaceNumber=00\n

P: $usb/1-1:1.0/tty/ttyACM0
N: ttyACM0
E: DEVNAME=/dev/ttyACM0
E: MAJOR=166
E: MINOR=0
E: SUBSYSTEM=tty
A: dev=166:0\n
DEVICE
}

device 3c5f 7d19 Korvanta >"$work/phone.umockdev"
device 2b7e 0101 "Example Modems" >"$work/other.umockdev"

# udevadm test's report on one device: the rules it read, the programs it would run and the
# device's properties.
report() { # description sysfs-path
    # Each device as if new: nothing of an earlier run's database (which keeps tags) or links.
    rm -rf /run/udev /dev/serial /dev/char
    umockdev-run -d "$1" -- udevadm test --action=add "$2" 2>&1 ||
        fail "udevadm test failed on $2 of $1"
}

phone_tty=$(report "$work/phone.umockdev" /sys/class/tty/ttyACM0)
phone_usb=$(report "$work/phone.umockdev" /sys/bus/usb/devices/1-1)
other_tty=$(report "$work/other.umockdev" /sys/class/tty/ttyACM0)

# The rule is read, and before the seat's rules.
order=$(grep -o "Reading rules file: .*" <<<"$phone_tty" | sed 's|.*/||')
grep -qx "$name" <<<"$order" || fail "udev did not read $name"
for later in 71-seat.rules 73-seat-late.rules; do
    grep -qx "$later" <<<"$order" || fail "the system has no $later"
    [ "$(printf '%s\n' "$name" "$later" | sort | head -n 1)" = "$name" ] ||
        fail "$name comes after $later"
done

has() { grep -qx -- "$2" <<<"$1"; }
tags() { grep -x "TAGS=.*" <<<"$1" || true; }

has "$phone_tty" "ID_MM_DEVICE_IGNORE=1" || fail "the phone's tty is not kept from modem managers"
[[ $(tags "$phone_tty") == *:uaccess:* ]] || fail "the phone's tty has no uaccess tag: $(tags "$phone_tty")"
[[ $(tags "$phone_tty") == *:seat:* ]] || fail "the phone's tty is not tagged for the seat"
has "$phone_tty" "run: 'uaccess'" || fail "no uaccess builtin runs for the phone's tty"

has "$phone_usb" "ID_MM_DEVICE_IGNORE=1" || fail "the phone's USB device is not kept from modem managers"
[[ $(tags "$phone_usb") != *:uaccess:* ]] || fail "the phone's USB device got the uaccess tag"

! has "$other_tty" "ID_MM_DEVICE_IGNORE=1" || fail "another vendor's tty is kept from modem managers"
[[ $(tags "$other_tty") != *:uaccess:* ]] || fail "another vendor's tty got the uaccess tag"
! has "$other_tty" "run: 'uaccess'" || fail "the uaccess builtin runs for another vendor's tty"

if [ "$failed" -ne 0 ]; then
    printf '%s\n' "--- udevadm test, the phone's tty:" "$phone_tty" >&2
    exit 1
fi
echo "the rule tags the maker's tty for the seat and keeps modem managers off it; others not"
