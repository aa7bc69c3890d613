#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "charsets/CharsetChoice.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"

// What one export is to do: which storages, in which order, into which file, in which layout
// and character sets, and the phone's identity. The values are passed on to the phone manager
// as they are.
struct ExportPlan {
    std::vector<StorageKind> storages;  // exported in this order
    OutputFormat layout = OutputFormat::GoogleCsv;
    std::u16string path;  // the output file
    std::int32_t outputCharset = output_charset::Ucs2;
    std::u16string phoneCharset = u"UCS2";  // the phone is read in it (AT+CSCS)
    // The phone's IMEI as it reported it, which names the vCards' UIDs so that they stay the
    // same from one export to the next; empty when it told none (the UIDs are then random).
    std::u16string imei;
};
