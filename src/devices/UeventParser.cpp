#include "devices/UeventParser.h"

#include <algorithm>
#include <array>
#include <limits>

#include "charsets/TextCodec.h"
#include "devices/SysfsAccess.h"

namespace {

constexpr std::array<std::string_view, 8> kActions{"add",    "remove",  "change", "move",
                                                   "online", "offline", "bind",   "unbind"};

constexpr std::array<std::string_view, 4> kPhoneSubsystems{"tty", "usb", "usb-serial", "scsi"};

bool isPrintable(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; });
}

bool isKey(std::string_view key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::optional<std::uint64_t> decimal(std::string_view text) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::optional<Uevent> parseUevent(std::string_view datagram, std::uint32_t senderPortId,
                                  bool truncated) {
    if (senderPortId != 0 || truncated || datagram.empty() || datagram.size() > kMaxUeventSize)
        return std::nullopt;

    std::size_t end = datagram.find('\0');
    if (end == std::string_view::npos)
        end = datagram.size();
    const std::string_view header = datagram.substr(0, end);
    const std::size_t at = header.find('@');
    if (at == std::string_view::npos)
        return std::nullopt;  // also what the udev daemon's own messages look like
    Uevent event;
    event.action = header.substr(0, at);
    event.devpath = header.substr(at + 1);
    if (std::find(kActions.begin(), kActions.end(), event.action) == kActions.end() ||
        event.devpath.size() < 2 || event.devpath.front() != '/' || !isPrintable(event.devpath))
        return std::nullopt;

    bool haveAction = false;
    bool haveDevpath = false;
    bool haveSubsystem = false;
    std::size_t position = end + 1;
    while (position < datagram.size()) {
        end = datagram.find('\0', position);
        if (end == std::string_view::npos)
            end = datagram.size();
        const std::string_view field = datagram.substr(position, end - position);
        position = end + 1;
        if (field.empty())
            continue;
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos || !isKey(field.substr(0, equals)))
            return std::nullopt;
        const std::string_view key = field.substr(0, equals);
        const std::string_view value = field.substr(equals + 1);
        if (!isPrintable(value))
            return std::nullopt;
        if (key == "ACTION") {
            if (value != event.action)
                return std::nullopt;
            haveAction = true;
        } else if (key == "DEVPATH") {
            if (value != event.devpath)
                return std::nullopt;
            haveDevpath = true;
        } else if (key == "SUBSYSTEM") {
            event.subsystem = value;
            haveSubsystem = !value.empty();
        } else if (key == "DEVTYPE") {
            event.devtype = value;
        } else if (key == "DEVNAME") {
            event.devname = value;
        } else if (key == "DRIVER") {
            event.driver = value;
        } else if (key == "SEQNUM") {
            const std::optional<std::uint64_t> seqnum = decimal(value);
            if (!seqnum)
                return std::nullopt;
            event.seqnum = *seqnum;
        }
    }
    if (!haveAction || !haveDevpath || !haveSubsystem)
        return std::nullopt;
    return event;
}

std::optional<DeviceNotice> noticeOf(const Uevent& event, const std::filesystem::path& devRoot) {
    if (std::find(kPhoneSubsystems.begin(), kPhoneSubsystems.end(), event.subsystem) ==
        kPhoneSubsystems.end())
        return std::nullopt;
    DeviceNotice notice;
    notice.sysfsPath = event.devpath;
    if (event.subsystem == "tty") {
        const std::string_view name = sysfs::isSafeDeviceName(event.devname)
                                          ? std::string_view(event.devname)
                                          : sysfs::nameOf(event.devpath);
        if (sysfs::isSafeDeviceName(name))
            notice.devicePath = text_codec::fromUtf8((devRoot / std::string(name)).string());
        if (event.action == "add")
            notice.kind = DeviceNotice::Kind::DeviceArrival;
        else if (event.action == "remove")
            notice.kind = DeviceNotice::Kind::DeviceRemoveComplete;
    }
    return notice;
}
