// Loading the program's optional DLLs (mpglib, bass, lame_enc, plug-ins) safely: they come from
// the program's folder by full path, and the current directory, which follows the folder being
// browsed, is never searched for a DLL.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Takes the current directory out of the DLL search order of the process, keeping the program's
// folder and the system folder: SetDefaultDllDirectories where the kernel has it (Windows 8, or
// 7 with KB2533623), else SetDllDirectoryW(L""). The first step of start-up, before any DLL is
// loaded on demand. False when neither could be applied.
bool DllSearchExcludeCurrentDir();

// Loads name (such as L"mpglib.dll") from the folder of zuvo.exe by its full path; the DLLs it
// needs are looked for beside it first. Null when it is not there or cannot be loaded.
HMODULE LoadProgramDll(const wchar_t* name);

// The folder of zuvo.exe ("" when it cannot be told).
std::wstring ProgramFolderWin();

// The names of the files (not folders) in folder that match pattern (such as L"*.jpg"), in
// the order the folder lists them.
std::vector<std::wstring> FilesMatchingWin(const std::wstring& folder, const wchar_t* pattern);
// The same in the program's folder (such as L"in_*.dll"): the add-ons loaded by pattern.
std::vector<std::wstring> ProgramFilesMatchingWin(const wchar_t* pattern);

// Loads name (such as L"dsound.dll") from the system folder by its full path. Null when it is not
// there or cannot be loaded.
HMODULE LoadSystemDll(const wchar_t* name);

// The address of an export of a DLL from the system folder, loading it on the first call; the
// module stays loaded until the process ends. Null when the DLL or the export is missing.
template <typename Fn>
Fn SystemDllProc(const wchar_t* dll, const char* name) {
    HMODULE m = GetModuleHandleW(dll);
    if (!m) m = LoadSystemDll(dll);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}
