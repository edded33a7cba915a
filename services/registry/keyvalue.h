#pragma once

#include "services/registry/registry.h"

#include <cstdint>
#include <span>
#include <string>

namespace registry {

// The largest value GetKeyValue reads; a longer one counts as missing.
constexpr std::uint32_t MaxValueBytes = 1024;

// Reads value SubKeyRef of sub-key KeyName under KeyRoot into KeyVal; true when the value was
// read. A missing key or value, or a value over MaxValueBytes, empties KeyVal and gives false.
// Throws what decodeValue throws, with the key closed.
bool GetKeyValue(Registry &registry, Key KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                 std::string &KeyVal);

// Turns the bytes of a value read from the registry into KeyVal: drops one final zero, then a
// text becomes KeyVal as it is and a 32-bit number becomes "&h" and the hexadecimal digits of
// its bytes, most significant first. Other types leave KeyVal unchanged. Throws
// std::invalid_argument for a value of no bytes at all.
void decodeValue(std::uint32_t type, std::span<const std::uint8_t> bytes, std::string &KeyVal);

}
