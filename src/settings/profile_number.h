#pragma once
// The decimal values of the settings file.
#include <cstdint>
#include <string_view>

// Reads a decimal as the settings file holds it: optional blanks, an optional sign, digits and
// optional blanks, from -2147483648 to 4294967295. Gives its low 32 bits, so the negative
// decimals that "%d" writes for values with the top bit set come back as the same bits.
// False for anything else (empty, other characters, more than 32 bits).
bool ParseProfileNumber(std::string_view text, uint32_t* bits);
