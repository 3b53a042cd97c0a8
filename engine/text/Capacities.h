#pragma once

#include <cstddef>

namespace engine {

// The engine's fixed text buffers, each the capacity of one kind of text
// and each named once. A text that does not fit is refused or cut where
// the code using it says so, never written past the end. The sizes are
// those of earlier releases, kept so that the same folders, catalogues
// and files are taken, cut or refused as they always were.

// A path, a folder field or a profile value: 299 characters.
inline constexpr std::size_t kPathSize = 300;
// A catalogue value in an AirlineRecord: 49 characters.
inline constexpr std::size_t kFieldSize = 50;
// A Descr as the airline list reads it: 254 characters. The lookup reads
// more (below): two descriptions that differ only past the 254th
// character are listed alike and still found apart, as before.
inline constexpr std::size_t kListDescrSize = 255;
// A Descr as a lookup reads it: 299 characters.
inline constexpr std::size_t kLookupDescrSize = 300;
// A list entry's text as the Install command reads it: 299 characters.
inline constexpr std::size_t kEntrySize = 300;
// The wait box's text while an airline is installed: 199 characters.
inline constexpr std::size_t kStatusTextSize = 200;
// An airline's texture folder path: 199 characters.
inline constexpr std::size_t kTextureFolderSize = 200;
// EnsureFolderPath's working copy of a path: 259 characters, the longest
// path the Windows calls of a folder walk take (MAX_PATH).
inline constexpr std::size_t kFolderWalkSize = 260;
// The most the platform is asked for of the executable's own path: an
// executable deeper than that finds no catalogue beside it, as it never
// did, instead of one in a folder the path was cut to.
inline constexpr std::size_t kModulePathLimit = 254;

}  // namespace engine
