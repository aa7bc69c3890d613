#pragma once

#include <string>

#include "export/CSVWriter.h"

// The Outlook CSV layout: 10 columns, one value per cell, quoted with inner double quotes
// turned into apostrophes.
class OutlookCSVWriter final : public CSVWriter {
public:
    OutlookCSVWriter(std::u16string path, std::int32_t charset);

    void writeContact(const IContact& contact) override;
    void writeHeader() override;
};
