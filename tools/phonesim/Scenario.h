#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonesim/CommandPattern.h"

namespace phonesim {

// What an entry type of the extended phonebook holds. The type numbers are the phone's: 0 to 5
// and 8 to 11 phone numbers, 6, 7 and 12 to 14 e-mail addresses, 15 to 17 postal addresses,
// 18 and 19 web addresses; any other number names nothing the program knows.
enum class ItemClass { Phone, Email, Address, Website, Unknown };

ItemClass classOfType(int type);

// The scenario-file key of an entry type ("phone.mobile" for 3), or empty for types that have
// no name of their own and are written as "item.<type>".
std::string_view keyOfType(int type);

// The entry type named by a scenario-file key, or -1.
int typeOfKey(std::string_view key);

// One value of a contact: a phone number, e-mail, postal or web address, by its entry type.
struct Item {
    int type = 3;
    std::u16string value;

    bool operator==(const Item&) const = default;
};

// One phonebook record at one index of a storage. The standard phonebook shows it as one line
// (its first phone number or e-mail address and its display name); the extended phonebook as one
// line per item.
struct Contact {
    int index = 0;
    std::u16string givenName;
    std::u16string familyName;
    std::u16string additionalName;
    std::string birthday;                  // month-day-year as the phone keeps it, e.g. 12-25-1980
    std::optional<int> group;              // group number, see GroupTable
    std::array<std::u16string, 6> postal;  // street, extended address, city, region, code, country
    std::vector<Item> items;

    // The text a standard phonebook shows: given and family name separated by one space.
    std::u16string displayName() const;

    // The item that the standard phonebook shows in its number field: the first phone number or
    // e-mail address; nullptr when the contact has neither.
    const Item* standardItem() const;

    bool hasPostalAddress() const;

    bool operator==(const Contact&) const = default;
};

// A phonebook storage ("ME", "SM", "FD", ...): its index range as AT+CPBR=? reports it, its
// capacity as AT+CPBS? reports it, and its contacts by index.
struct Storage {
    std::string name;
    int first = 1;
    int last = 100;
    int capacity = 100;
    int numberLength = 40;
    int textLength = 18;
    std::map<int, Contact> contacts;

    bool inRange(int index) const { return index >= first && index <= last; }

    bool operator==(const Storage&) const = default;
};

// The phonebook groups of an extended phone (AT+MPGR), shared by all storages.
struct GroupTable {
    int first = 1;
    int last = 10;
    std::map<int, std::u16string> names;

    bool operator==(const GroupTable&) const = default;
};

// Who the phone says it is, and what it offers.
struct PhoneInfo {
    std::string manufacturer = "Korvanta";
    std::string model = "Z3";
    std::string revision = "1.0";
    std::string imei = "351234567890123";
    std::vector<std::string> bands{"GSM900", "GSM1800", "GSM1900"};
    std::vector<std::string> charsets{"UCS2", "UTF8", "ASCII"};
    std::string charset;                   // selected at power-on; empty: the first of charsets
    int mode = 0;                          // AT+MODE? at power-on
    bool extended = false;                 // offers AT+MPBRE and AT+MPGR
    std::vector<std::string> commandList;  // AT+CLAC lines; empty: derived from what is offered
    // The maker's mode command AT+MODE; a phone of another maker has none (answers ERROR).
    bool modeCommand = true;
    // What AT+CPIN? reports: "ready", "pin" or "puk" (the SIM waits for its PIN or PUK: every
    // phonebook command that reads or selects a storage is refused with +CME ERROR 11 or 12);
    // empty: the phone does not know AT+CPIN.
    std::string sim;
    // AT+CGMM and AT+CGSN answered with the bare model and serial number, as most modems do,
    // instead of the "+CGMM:" and "+CGSN:" lines.
    bool plainIdentification = false;

    bool operator==(const PhoneInfo&) const = default;
};

// How the phone talks, and the faults it plays.
struct Behaviour {
    struct SelectRefusal {
        std::string storage;  // empty: any storage
        int times = 0;
        bool operator==(const SelectRefusal&) const = default;
    };
    struct CannedAnswer {
        CommandPattern pattern;
        std::string bytes;  // written after the echo instead of the phone's own answer
        bool operator==(const CannedAnswer&) const = default;
    };
    struct Unsolicited {
        int every = 0;                        // after every n-th answer, or
        std::optional<CommandPattern> after;  // after the answer to a matching command
        std::string text;                     // the result code, sent as CR LF text CR LF
        // Or inside the answer to a matching command, after its first line.
        std::optional<CommandPattern> within = std::nullopt;
        bool operator==(const Unsolicited&) const = default;
    };

    bool echo = true;
    std::uint32_t lineRate = 0;  // bits per second, 10 bits a byte; 0: as fast as the pty goes
    std::size_t chunkSize = 0;   // bytes per write; 0: whole answers
    std::chrono::milliseconds chunkPause{0};
    std::chrono::milliseconds answerDelay{0};
    std::optional<int> requiredMode;  // phonebook commands answer ERROR in any other mode
    bool emptyReadIsError = false;    // a read of indexes without entries answers ERROR
    int errorMode = 0;                // AT+CMEE at power-on: 1 and 2 report +CME ERROR: <n>
    bool bareNames = false;           // names of the standard phonebook in UCS2 without quotes
    bool padNames = false;            // names padded with blanks to the storage's text length
    std::string mode2Tail = "+MODE: 2\r\n+PBREADY\r\n";  // sent after the OK of AT+MODE=2
    std::vector<SelectRefusal> selectRefusals;
    std::vector<CommandPattern> failing;
    std::vector<CommandPattern> silent;
    std::vector<CommandPattern> unplugAt;
    std::optional<int> unplugAfterReads;
    std::vector<CannedAnswer> cannedAnswers;
    std::vector<Unsolicited> unsolicited;

    bool operator==(const Behaviour&) const = default;
};

// Everything a simulated phone is: a plain value that tests may build or change in code.
struct Scenario {
    PhoneInfo phone;
    std::vector<Storage> storages;  // in the order AT+CPBS=? lists them
    GroupTable groups;
    Behaviour behaviour;

    const Storage* storage(std::string_view name) const;
    Storage* storage(std::string_view name);

    // The charset selected at power-on.
    std::string initialCharset() const;

    // The lines AT+CLAC answers.
    std::vector<std::string> commandList() const;

    std::size_t contactCount() const;

    bool operator==(const Scenario&) const = default;
};

}  // namespace phonesim
