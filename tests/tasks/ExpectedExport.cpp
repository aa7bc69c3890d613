#include "ExpectedExport.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <utility>

#include "TempDir.h"
#include "charsets/CharsetChoice.h"
#include "export/OutputFormat.h"
#include "phonesim/ScenarioParser.h"

namespace export_test {

namespace {

std::string_view markOf(std::string_view bytes) {
    for (const std::string_view mark :
         {std::string_view("\xEF\xBB\xBF"), std::string_view("\xFF\xFE")}) {
        if (bytes.starts_with(mark))
            return mark;
    }
    return {};
}

// A CSV file: a record ends at a CR LF outside double quotes. unit is the size of a code unit
// of the file's charset (2 for UTF-16LE), so that the bytes of other characters never count.
CutFile cutCsv(const std::string& bytes, std::size_t unit) {
    CutFile cut;
    cut.mark = markOf(bytes);
    const auto at = [&bytes, unit](std::size_t i) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        return unit == 2
                   ? low | static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1]) << 8)
                   : low;
    };
    std::vector<std::string> lines;
    bool quoted = false;
    std::size_t start = cut.mark.size();
    for (std::size_t i = start; i + unit <= bytes.size(); i += unit) {
        const unsigned c = at(i);
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '\n' && i >= start + unit && at(i - unit) == '\r') {
            lines.push_back(bytes.substr(start, i + unit - start));
            start = i + unit;
        }
    }
    if (start != bytes.size())
        throw std::runtime_error("an export file ends within a record");
    cut.head = cut.mark;
    if (!lines.empty()) {
        cut.head += lines.front();
        cut.records.assign(lines.begin() + 1, lines.end());
    }
    return cut;
}

// The layouts that have expected files: the name their files carry, and how such a file is cut
// into its head and its records. Another layout adds a line here and its files.
struct Layout {
    OutputFormat code;
    std::string_view name;
    CutFile (*cut)(const std::string& bytes, std::size_t unit);
};
constexpr Layout kLayouts[] = {
    {OutputFormat::GoogleCsv, "google", cutCsv},
    {OutputFormat::OutlookCsv, "outlook", cutCsv},
};

struct Charset {
    std::int32_t code;
    std::string_view name;
    std::size_t unit;
};
constexpr Charset kCharsets[] = {
    {output_charset::Ucs2, "ucs2", 2},
    {output_charset::Utf8, "utf8", 1},
    {output_charset::Ascii, "ascii", 1},
};

template <typename Table, std::size_t N>
const Table& lookUp(const Table (&table)[N], decltype(Table::code) code) {
    for (const Table& entry : table) {
        if (entry.code == code)
            return entry;
    }
    throw std::runtime_error("no expected files for code " +
                             std::to_string(static_cast<std::int32_t>(code)));
}

// What every expected file of the layout and charset ends its name with.
std::string suffixOf(const Layout& layout, const Charset& charset) {
    return "." + std::string(layout.name) + "." + std::string(charset.name) + ".csv";
}

CutFile loadCut(const std::filesystem::path& path, const Layout& layout, const Charset& charset) {
    if (!std::filesystem::is_regular_file(path))
        throw std::runtime_error("no expected file " + path.string());
    return layout.cut(test_support::readFileBytes(path), charset.unit);
}

}  // namespace

CutFile cutExport(const std::string& bytes, OutputFormat layout, std::int32_t outputCharset) {
    return lookUp(kLayouts, layout).cut(bytes, lookUp(kCharsets, outputCharset).unit);
}

ExpectedContacts expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                  bool extended, int first, int last) {
    ExpectedContacts contacts;
    const phonesim::Storage* found = scenario.storage(storage);
    if (found == nullptr)
        return contacts;
    std::size_t position = 0;
    for (const auto& [index, entry] : found->contacts) {
        ExpectedContact contact{std::string(storage), extended, position++, 1};
        if (extended) {
            // The extended phonebook gives every phone number and e-mail address of the contact.
            contact.entries = 0;
            for (const phonesim::Item& item : entry.items) {
                const phonesim::ItemClass kind = phonesim::classOfType(item.type);
                if (kind == phonesim::ItemClass::Phone || kind == phonesim::ItemClass::Email)
                    ++contact.entries;
            }
        }
        if (index >= first && index <= last)
            contacts.push_back(std::move(contact));
    }
    return contacts;
}

std::string expectedFile(std::string_view scenario, const ExpectedContacts& contacts,
                         OutputFormat layout, std::int32_t outputCharset) {
    const Layout& format = lookUp(kLayouts, layout);
    const Charset& charset = lookUp(kCharsets, outputCharset);
    const std::filesystem::path folder = std::filesystem::path(CONTAXIO_EXPECTED_EXPORTS) /
                                         std::filesystem::path(std::string(scenario));
    const std::string suffix = suffixOf(format, charset);
    if (contacts.empty()) {
        // Only the mark, which every file of the charset starts with.
        for (const auto& file : std::filesystem::directory_iterator(folder)) {
            if (file.path().filename().string().ends_with(suffix))
                return loadCut(file.path(), format, charset).mark;
        }
        throw std::runtime_error("no expected file *" + suffix + " in " + folder.string());
    }
    std::map<std::string, CutFile> files;
    std::string bytes;
    for (const ExpectedContact& contact : contacts) {
        const std::string name =
            contact.storage + (contact.extended ? ".extended" : ".standard") + suffix;
        auto file = files.find(name);
        if (file == files.end())
            file = files.emplace(name, loadCut(folder / name, format, charset)).first;
        if (bytes.empty())
            bytes = file->second.head;
        else if (file->second.head != files.begin()->second.head)
            throw std::runtime_error("the expected files of " + folder.string() +
                                     " differ in their heads");
        if (contact.position >= file->second.records.size())
            throw std::runtime_error("no record " + std::to_string(contact.position) + " in " +
                                     (folder / name).string());
        bytes += file->second.records[contact.position];
    }
    return bytes;
}

std::int32_t entriesOf(const ExpectedContacts& contacts) {
    std::int32_t entries = 0;
    for (const ExpectedContact& contact : contacts)
        entries += contact.entries;
    return entries;
}

ExpectedContacts joined(ExpectedContacts contacts, const ExpectedContacts& more) {
    contacts.insert(contacts.end(), more.begin(), more.end());
    return contacts;
}

phonesim::Scenario scenarioFrom(std::string_view text) {
    phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(text, "test");
    if (!parsed)
        throw std::invalid_argument(parsed.error);
    return std::move(*parsed.scenario);
}

}  // namespace export_test
