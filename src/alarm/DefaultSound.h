#pragma once
#include <cstddef>
namespace almanouk {
// The built-in alarm chime, an MP3 file written as roster.mp3 when that file is missing.
extern const unsigned char kDefaultSound[];
extern const std::size_t kDefaultSoundSize;
}
