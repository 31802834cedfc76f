// Feeds arbitrary bytes to the profile reader and the value parser, then edits and re-reads
// the document: nothing may crash, leak or loop, and a written key must read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/posix/profile_document.h"
#include "settings/profile_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::ProfileDocument document(text);
  uint32_t bits;
  for (const char* key : {"Screen_x", "fs_data1", "guid_exists_0", "fs_data48_3"})
    ParseProfileNumber(document.Find("Vevirur 2", key).value_or(text.substr(0, 64)), &bits);
  document.Set("Vevirur 2", "fs_data1", "-2147483648");
  document.Set("Vevirur 2", "fuzz_new_key", "1");
  platform::ProfileDocument reread(document.Text());
  if (reread.Find("Vevirur 2", "fs_data1") != "-2147483648") __builtin_trap();
  if (reread.Find("vevirur 2", "FUZZ_NEW_KEY") != "1") __builtin_trap();
  return 0;
}
