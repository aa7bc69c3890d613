#pragma once

#include <cstdint>
#include <map>
#include <string>

// The phone's group names by group number, read once per export with AT+MPGR and looked up by
// the extended phonebook reader.
using GroupTable = std::map<std::int32_t, std::u16string>;
