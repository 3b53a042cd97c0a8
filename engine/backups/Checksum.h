#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// The CRC-32 of zip and PNG (polynomial 0xEDB88320): what a backup's record
// holds of it, to tell a copy we wrote whole from anything else.
std::uint32_t Crc32(std::string_view bytes);

}  // namespace engine
