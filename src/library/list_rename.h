// Renaming a File view row in place: the name typed over a row's name cell becomes the
// file's new name, or, with a backslash in it, the path it is moved to.
#pragma once
#include <string>
#include <string_view>

#include "library/track_list.h"

// The path the file of `row` is renamed or moved to for the text `typed`: the row's folder
// and the typed name, with the row's extension added unless the typed name already ends in it;
// a typed path with a backslash is taken relative to the folder unless it is absolute. Empty
// when the row cannot be renamed so: not a folder listing, a navigation row, an empty name,
// or characters that no file name holds.
std::wstring RenameTarget(const TrackList& list, int row, std::wstring_view typed);
