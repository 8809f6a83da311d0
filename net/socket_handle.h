// A socket handle: what the socket layer gives out and what a seat record
// carries on the wire (u32). On this platform it is the POSIX descriptor.
#pragma once

#include <cstdint>

using Socket = std::uint32_t;
constexpr Socket INVALID_SOCKET = 0xFFFFFFFFu;
