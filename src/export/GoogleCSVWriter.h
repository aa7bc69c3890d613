#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/CSVWriter.h"

// The Google CSV layout: 39 columns, every cell followed by a comma; several values of a
// kind share one cell, joined by " ::: ". Value cells are quoted with inner quotes doubled.
class GoogleCSVWriter final : public CSVWriter {
public:
    GoogleCSVWriter(std::u16string path, std::int32_t charset);

    void writeContact(const IContact& contact) override;
    void writeHeader() override;

    // The phone's month-day-year birthday as year-month-day, "12-25-1980" giving "1980-12-25";
    // numbers that cannot be read are 0. Empty text stays empty.
    static std::u16string formatBirthday(std::u16string_view birthday);
    // A stored address with its part separators turned into spaces; leading separators are
    // dropped.
    static std::u16string cleanAddress(std::u16string_view address);
    // The values joined with " ::: " and quoted, inner double quotes doubled.
    static std::u16string valueCell(const std::vector<std::u16string>& values);
};
