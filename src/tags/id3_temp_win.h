// The temporary picture file of the ID3 reader (Win32 glue).
#pragma once

// Deletes "id3v2pic.jpg" in the temporary folder; passed to Id3FreeTags.
void Id3DeleteTempPicture();
