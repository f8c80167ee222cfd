// Double-byte awareness for ANSI path strings.
//
// Paths are byte strings in the system's ANSI code page. In a double-byte
// code page the trail byte of a character may equal '\\' (0x5C), so path
// code must step over lead bytes instead of looking at single bytes. The
// portable core asks this hook; the Win32 start-up installs the system's
// lead-byte test. Without a hook every byte is a character of its own.
#pragma once

#include <cstddef>
#include <string>

namespace util {

using LeadByteTest = bool (*)(unsigned char);

void SetLeadByteTest(LeadByteTest test);
bool IsLeadByte(unsigned char byte);

// Index of the first byte of the last character of s; npos for an empty string.
size_t LastCharIndex(const std::string& s);

}  // namespace util
