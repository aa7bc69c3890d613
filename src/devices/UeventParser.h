#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "devices/DeviceNotice.h"

// A device event as the kernel broadcasts it on its uevent netlink group: a header
// "<action>@<devpath>" and KEY=VALUE fields, each ended by a NUL byte, e.g.
//   add@/devices/.../1-2:1.0/tty/ttyACM0 \0 ACTION=add \0 DEVPATH=/devices/... \0
//   SUBSYSTEM=tty \0 MAJOR=166 \0 MINOR=0 \0 DEVNAME=ttyACM0 \0 SEQNUM=4711 \0
struct Uevent {
    std::string action;   // add, remove, change, move, online, offline, bind, unbind
    std::string devpath;  // the device's folder below the sysfs root, "/devices/..."
    std::string subsystem;
    std::string devtype;
    std::string devname;  // its device node below the dev root, when it has one
    std::string driver;
    std::uint64_t seqnum = 0;

    bool operator==(const Uevent&) const = default;
};

// The longest message taken; the kernel's own messages stay far below.
inline constexpr std::size_t kMaxUeventSize = 8192;

// The event in one datagram received on the uevent socket. Nothing when it was not sent by the
// kernel (sender port id other than 0), was cut short by the receive buffer (truncated), is
// empty or longer than kMaxUeventSize, or is malformed: no "action@/devpath" header, an unknown
// action, a field without "=", a missing ACTION, DEVPATH or SUBSYSTEM field, or ACTION and
// DEVPATH fields that disagree with the header. Never throws for any input.
std::optional<Uevent> parseUevent(std::string_view datagram, std::uint32_t senderPortId,
                                  bool truncated = false);

// What an event means for a list of phones: a tty that arrived or went (its device path built
// from devRoot and DEVNAME, or the last part of DEVPATH when DEVNAME is missing or unsafe), or
// any other change of a tty, USB, USB-serial or SCSI device. Nothing for other subsystems
// (power supplies, network, input ...), which change often and concern no phone.
std::optional<DeviceNotice> noticeOf(const Uevent& event, const std::filesystem::path& devRoot);
