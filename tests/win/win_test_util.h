// A fresh scratch folder per test under the Windows temporary folder.
#pragma once
#include <windows.h>

#include <string>

std::wstring ScratchFolder(const wchar_t* name);
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
