// The "Tag ID3" dialog: edits the ID3v1 tag at the end of an MPEG file (Save, Remove) and shows
// the text frames of its ID3v2 tag as rich text, read-only.
#pragma once
#include <windows.h>

#include <cstdint>

// Modal over owner. id3v1Raw (the file record's last 128 bytes, may be null) is what the
// dialog opens with and is updated after a save: the new tag, or zeros after a removal. Null
// id3v1Raw: the dialog reads the file's last 128 bytes itself.
void Id3TagDialogWin(HWND owner, const wchar_t* path, uint8_t* id3v1Raw);

// Writes tag (128 bytes) at the end of the file, replacing a tag that is there, or with tag
// null removes it; the file's creation and modification times are set back. False, with the
// file unchanged, when it cannot be opened for writing or the write fails.
bool Id3v1SaveFileWin(const wchar_t* path, const uint8_t* tag);
