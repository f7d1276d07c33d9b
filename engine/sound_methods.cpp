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
