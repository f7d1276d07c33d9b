// The sounds-like methods, one line each: the function that returns the method. The first
// is the program's own, the default. Included only by engine/sound_method.h and
// engine/sound_methods.cpp.
TESSIK_SOUND_METHOD(SoundexMethod)
TESSIK_SOUND_METHOD(DaitchMokotoffMethod)
TESSIK_SOUND_METHOD(ScoredMethod)
