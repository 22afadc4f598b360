// Shared by the ID3 readers: giving a tag slot its own copy of a text.
#pragma once
#include <string>

// Allocates a NUL-terminated copy of text of exactly its length into slot (which must be
// empty). False when the allocation fails; the slot then stays empty.
[[nodiscard]] bool Id3StoreText(wchar_t*& slot, const std::wstring& text);
