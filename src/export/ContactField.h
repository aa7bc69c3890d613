#pragma once

#include <cstdint>

// Field codes by which the phonebook readers name a contact field through the contact builder.
// They are plain 32-bit numbers: any other number names no field and is ignored.
struct ContactField {
    ContactField() = delete;

    static constexpr std::int32_t GivenName = 0;
    static constexpr std::int32_t FamilyName = 1;
    static constexpr std::int32_t AdditionalName = 2;
    static constexpr std::int32_t Phone = 3;    // needs a kind
    static constexpr std::int32_t Email = 4;    // needs a kind
    static constexpr std::int32_t Address = 5;  // needs a kind
    static constexpr std::int32_t Website = 6;  // a kind is passed but not kept
    static constexpr std::int32_t Birthday = 7;
    static constexpr std::int32_t Group = 8;
};

// Kinds of phone numbers, e-mail addresses and postal addresses, as the phone numbers them.
namespace contact_kind {
inline constexpr std::int32_t WorkPhone = 0;
inline constexpr std::int32_t HomePhone = 1;
inline constexpr std::int32_t MainPhone = 2;
inline constexpr std::int32_t MobilePhone = 3;
inline constexpr std::int32_t FaxPhone = 4;
inline constexpr std::int32_t PagerPhone = 5;
inline constexpr std::int32_t ExtraOtherEmail = 6;  // written together with OtherEmail
inline constexpr std::int32_t PlainEmail = 7;       // no label of its own
inline constexpr std::int32_t OtherPhone1 = 8;      // kinds 8 to 11 are written together
inline constexpr std::int32_t OtherPhone2 = 9;
inline constexpr std::int32_t OtherPhone3 = 10;
inline constexpr std::int32_t OtherPhone4 = 11;
inline constexpr std::int32_t HomeEmail = 12;
inline constexpr std::int32_t WorkEmail = 13;
inline constexpr std::int32_t OtherEmail = 14;
inline constexpr std::int32_t HomeAddress = 15;
inline constexpr std::int32_t WorkAddress = 16;
inline constexpr std::int32_t OtherAddress = 17;
inline constexpr std::int32_t Website1 = 18;  // both web-address types are kept as Website
inline constexpr std::int32_t Website2 = 19;
}  // namespace contact_kind

// The separator between the six parts of a postal address as the contact stores it.
inline constexpr char16_t kAddressPartSeparator[] = u";|;";

// The group of a contact that belongs to no named group.
inline constexpr char16_t kDefaultContactGroup[] = u"General";
