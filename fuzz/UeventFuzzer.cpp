// Kernel device events through the uevent parser and what a device list makes of them. For any
// bytes: nothing is taken from a sender other than the kernel or from a cut-off message; an event
// taken has a known action, a device path starting with "/" that the header and the fields agree
// on, a subsystem, and fields without control characters; written out again as the kernel writes
// events it reads back the same; and the device path of a notice always stays below the dev root.
//
// Input: byte 0 picks the sender port id (bit 0: not the kernel) and a cut-off message (bit 1);
// the rest is the datagram.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "charsets/TextCodec.h"
#include "devices/UeventParser.h"

namespace {

using fuzz_support::printable;

bool printableField(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; });
}

std::string datagramOf(const Uevent& event) {
    std::string out = event.action + "@" + event.devpath;
    out += '\0';
    const auto field = [&out](std::string_view key, std::string_view value) {
        out.append(key).append("=").append(value);
        out += '\0';
    };
    field("ACTION", event.action);
    field("DEVPATH", event.devpath);
    field("SUBSYSTEM", event.subsystem);
    if (!event.devtype.empty())
        field("DEVTYPE", event.devtype);
    if (!event.devname.empty())
        field("DEVNAME", event.devname);
    if (!event.driver.empty())
        field("DRIVER", event.driver);
    field("SEQNUM", std::to_string(event.seqnum));
    return out;
}

void checkNotice(const Uevent& event, std::string_view datagram) {
    const std::filesystem::path devRoot = "/dev";
    const std::optional<DeviceNotice> notice = noticeOf(event, devRoot);
    if (!notice)
        return;
    FUZZ_CHECK(notice->sysfsPath == event.devpath, "a notice names another device",
               printable(datagram));
    if (notice->kind != DeviceNotice::Kind::DevNodesChanged)
        FUZZ_CHECK(event.subsystem == "tty", "an arrival or removal of a device that is no tty",
                   printable(datagram));
    if (notice->devicePath.empty())
        return;
    const std::filesystem::path path(text_codec::toUtf8(notice->devicePath));
    const std::filesystem::path relative = path.lexically_relative(devRoot);
    FUZZ_CHECK(path.lexically_normal() == path && !relative.empty() && relative != "." &&
                   *relative.begin() != "..",
               "a device path leaves the dev root",
               printable(text_codec::toUtf8(notice->devicePath)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const auto choice = static_cast<unsigned char>(input[0]);
    const std::string_view datagram = input.substr(1);
    const std::uint32_t sender = (choice & 1) != 0 ? 4711u : 0u;
    const bool truncated = (choice & 2) != 0;

    const std::optional<Uevent> event = parseUevent(datagram, sender, truncated);
    if (sender != 0 || truncated) {
        FUZZ_CHECK(!event, "an event was taken from another sender or cut off",
                   printable(datagram));
        return 0;
    }
    if (!event)
        return 0;
    static constexpr std::string_view kActions[] = {"add",    "remove",  "change", "move",
                                                    "online", "offline", "bind",   "unbind"};
    FUZZ_CHECK(
        std::find(std::begin(kActions), std::end(kActions), event->action) != std::end(kActions),
        "an unknown action was taken", printable(datagram));
    FUZZ_CHECK(event->devpath.size() >= 2 && event->devpath.front() == '/',
               "a device path does not start with /", printable(datagram));
    FUZZ_CHECK(datagram.starts_with(event->action + "@" + event->devpath),
               "the event is not the header's", printable(datagram));
    FUZZ_CHECK(!event->subsystem.empty(), "an event without subsystem", printable(datagram));
    for (const std::string* field :
         {&event->devpath, &event->subsystem, &event->devtype, &event->devname, &event->driver}) {
        FUZZ_CHECK(printableField(*field), "a field holds a control character",
                   printable(datagram));
    }
    const std::string again = datagramOf(*event);
    FUZZ_CHECK(again.size() > kMaxUeventSize || parseUevent(again, 0) == event,
               "an event written out does not read back the same", printable(datagram));
    checkNotice(*event, datagram);
    return 0;
}
