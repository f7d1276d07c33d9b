// The table of the methods, in the order of engine/sound_method_list.h.
#include <cstring>

#include "engine/sound_method.h"

namespace {

#define TESSIK_SOUND_METHOD(function) &function,
const SoundMethod& (*const kMethods[])() = {
#include "engine/sound_method_list.h"
};
#undef TESSIK_SOUND_METHOD

}  // namespace

const SoundMethod& DefaultSoundMethod() { return kMethods[0](); }

void HeardTerm::AddPairLengths(std::uint64_t* pairLengths) const {
  // Lengths 2 to kLongestPairLength: bits 1 to kLongestPairLength - 1.
  constexpr std::uint64_t kTwoAndMore =
      ((std::uint64_t{1} << kLongestPairLength) - 1) & ~std::uint64_t{1};
  for (std::uint32_t f = 0; f < Starts.Count; ++f) {
    const std::uint32_t first = static_cast<std::uint8_t>(Starts.Lower[f]) & 31u;
    for (char second = 'a'; second <= 'z'; ++second) {
      if (Starts.FollowersOnly && !Starts.MayFollow[static_cast<unsigned char>(second)]) continue;
      const std::uint32_t pair = 32 * first + (static_cast<std::uint8_t>(second) & 31u);
      pairLengths[pair] |= Starts.PairLengths != nullptr ? Starts.PairLengths[pair] : kTwoAndMore;
    }
  }
}

const SoundMethod* FindSoundMethod(const char* name) {
  for (const auto method : kMethods) {
    if (std::strcmp(method().Name(), name) == 0) return &method();
  }
  return nullptr;
}

std::string SoundMethodNames() {
  std::string names;
  for (const auto method : kMethods) {
    if (!names.empty()) names += ", ";
    names += method().Name();
  }
  return names;
}
