#pragma once

#include <string_view>

namespace almanouk {

// True when the bytes open with a run of whole MPEG audio frames (after an
// optional ID3v2 tag) and no frame is cut short by the end of the file: what
// follows the last frame (a tag, another file's tag) does not matter. A
// sound written only in part fails this; so does an empty file.
bool holdsWholeMp3Frames(std::string_view bytes);

}  // namespace almanouk
