#pragma once

#include <cstdint>
#include <string>

// The layouts; their names are in export/OutputFormat.h.
enum class OutputFormat : std::int32_t;

// The user's choices for one export, read by the export tasks on the worker thread.
class IExportSettings {
public:
    virtual ~IExportSettings() = default;

    // The phone's character set for the export (for example u"UCS2"): sent with AT+CSCS and
    // used to decode the phonebook text.
    virtual std::u16string charset() const = 0;
    // The output file path.
    virtual std::u16string path() const = 0;
    // The output layout: OutputFormat::GoogleCsv, OutlookCsv, VCard, or any other
    // value for no output at all.
    virtual OutputFormat format() const = 0;
    // The output file's character set: output_charset::Ucs2, Utf8 or Ascii.
    virtual std::int32_t outputCharset() const = 0;
    // Whether the phone offers the extended phonebook commands (AT+MPBRE, AT+MPGR).
    virtual bool extendedPhonebook() const = 0;
};
