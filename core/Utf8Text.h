#pragma once
// File names are bytes; tables and JSON want UTF-8. These tell them apart and
// make any byte string valid UTF-8 without moving anything else.

#include <string>

// Whether `bytes` is well-formed UTF-8 (no overlong form, no surrogate,
// nothing past U+10FFFF).
bool IsValidUtf8(const std::string& bytes);

// `bytes` with each byte that is no part of a well-formed sequence written
// as U+FFFD; valid text comes back as it was.
std::string ValidUtf8(const std::string& bytes);
