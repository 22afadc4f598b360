// The settings dialog's page table: 19 pages in tree order, each with its tree name and the
// page it sits under (-1 for a root).
#pragma once

constexpr int kSettingsPageCount = 19;

struct SettingsPageInfo {
    const char* name;  // English tree name
    int parent;        // index of the parent page, -1 at the root
};

extern const SettingsPageInfo kSettingsPages[kSettingsPageCount];
