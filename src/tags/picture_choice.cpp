// Choosing the cover picture of a track and its size.
#include "tags/picture_choice.h"

#include <cwctype>

namespace {

std::wstring Lower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

bool ContainsNoCase(std::wstring_view text, std::wstring_view part) {
    return Lower(text).find(Lower(part)) != std::wstring::npos;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring InFolder(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
    return folder + L"\\" + name;
}

// The first of the setting's folder pictures that exists in folder.
std::wstring FolderPicture(const std::wstring& folder, const PictureSetting& setting,
                           const PictureFolders& fs) {
    for (const std::wstring& name : setting.names) {
        const std::wstring path = InFolder(folder, name);
        if (fs.exists(fs.ctx, path)) return path;
    }
    return {};
}

// A "*.jpg" whose name without its extension starts the track's file name (ignoring case).
std::wstring TrackPicture(const std::wstring& folder, const std::wstring& trackName,
                          const PictureFolders& fs) {
    const std::wstring track = Lower(trackName);
    for (const std::wstring& name : fs.listJpg(fs.ctx, folder)) {
        if (name.size() <= 4) continue;
        const std::wstring stem = Lower(name.substr(0, name.size() - 4));
        if (track.compare(0, stem.size(), stem) == 0) return InFolder(folder, name);
    }
    return {};
}

}  // namespace

PictureSetting ParsePictureSetting(std::string_view text) {
    PictureSetting out;
    if (text.size() >= 5) {
        int height = 0;
        bool digits = true;
        for (char c : text.substr(0, 5)) {
            if (c < '0' || c > '9') digits = false;
            else height = height * 10 + (c - '0');
        }
        if (digits && height > 0) out.height = height;
    }
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return out;
    std::string_view rest = text.substr(comma + 1);
    while (!rest.empty()) {
        const size_t semi = rest.find(';');
        const std::string_view name = rest.substr(0, semi);
        // 8-bit names: each byte is one character (the names are ASCII file names in practice).
        if (!name.empty()) out.names.emplace_back(name.begin(), name.end());
        if (semi == std::string_view::npos) break;
        rest.remove_prefix(semi + 1);
    }
    return out;
}

PictureChoice ChoosePicture(const PictureRequest& req, const PictureSetting& setting,
                            const PictureFolders& fs) {
    std::wstring folder = req.browsedFolder;
    if (ContainsNoCase(folder, L".cue")) folder = FolderOf(folder);
    bool onlyFolderPictures = false;
    if (!req.bigViewPicture && req.plainFolderList) {
        onlyFolderPictures = !ContainsNoCase(req.trackPath, folder);
    } else {
        folder = FolderOf(req.trackPath);
    }
    PictureChoice choice;
    if (!onlyFolderPictures) {
        if (req.hasTagPicture) {
            choice.source = PictureSource::kTag;
            return choice;
        }
        choice.path = TrackPicture(folder, NameOf(req.trackPath), fs);
    }
    if (choice.path.empty()) choice.path = FolderPicture(folder, setting, fs);
    if (choice.path.empty() && req.standardPicture && !req.settingsFolder.empty())
        choice.path = FolderPicture(req.settingsFolder, setting, fs);
    if (!choice.path.empty()) {
        choice.source = PictureSource::kFile;
    } else if (req.standardPicture) {
        choice.source = PictureSource::kIcon;
    }
    return choice;
}

PictureBox FitPicture(int picW, int picH, int settingHeight, int paneWidth, int embeddedHeight) {
    if (picW <= 0 || picH <= 0) return {};
    const int64_t w = picW, h = picH;
    PictureBox box;
    if (embeddedHeight > 0) {
        box.height = embeddedHeight;
        box.width = static_cast<int>(embeddedHeight * w / h);
        return box;
    }
    box.height = settingHeight;
    box.width = static_cast<int>(settingHeight * w / h);
    if (paneWidth > 0 && box.width > paneWidth) {
        box.width = paneWidth;
        box.height = static_cast<int>(paneWidth * h / w);
    }
    return box;
}

int IconSide(int settingHeight, int paneWidth, int embeddedHeight) {
    if (embeddedHeight > 0) return embeddedHeight;
    return paneWidth > 0 && settingHeight > paneWidth ? paneWidth : settingHeight;
}

bool PictureNeedsLoad(const PictureShown& shown, const std::wstring& path, uint64_t fileSize,
                      bool forced) {
    if (forced) return true;
    if (path == shown.path && !path.empty()) return false;
    return fileSize != shown.loadedSize;
}
