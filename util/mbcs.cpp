#include "util/mbcs.h"

namespace util {

namespace {
LeadByteTest g_lead_byte_test = nullptr;
}

void SetLeadByteTest(LeadByteTest test) { g_lead_byte_test = test; }

bool IsLeadByte(unsigned char byte) { return g_lead_byte_test != nullptr && g_lead_byte_test(byte); }

size_t LastCharIndex(const std::string& s) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < s.size(); ++i) {
    last = i;
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
  }
  return last;
}

}  // namespace util
