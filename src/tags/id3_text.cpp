// The tag record's lifetime and the texts made from it: genre names and the display title.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "base/utf.h"
#include "tags/id3.h"
#include "tags/id3v1_edit.h"
#include "tags/id3_store.h"

namespace {

// The ID3v1 genre list with its extensions, 0 to 191, each entry "/number.name". Entry 61 is
// written with a leading zero; the lookup searches digits, so it is still found.
constexpr char kGenreList[] =
    "/0.Blues/1.Classic Rock/2.Country/3.Dance/4.Disco/5.Funk/6.Grunge/7.Hip-Hop/8.Jazz/"
    "9.Metal/10.New Age/11.Oldies/12.Other/13.Pop/14.R&B/15.Rap/16.Reggae/17.Rock/18.Techno/"
    "19.Industrial/20.Alternative/21.Ska/22.Death Metal/23.Pranks/24.Soundtrack/25.Euro-Techno/"
    "26.Ambient/27.Trip-Hop/28.Vocal/29.Jazz+Funk/30.Fusion/31.Trance/32.Classical/"
    "33.Instrumental/34.Acid/35.House/36.Game/37.Sound Clip/38.Gospel/39.Noise/40.AlternRock/"
    "41.Bass/42.Soul/43.Punk/44.Space/45.Meditative/46.Instrumental Pop/47.Instrumental Rock/"
    "48.Ethnic/49.Gothic/50.Darkwave/51.Techno-Industrial/52.Electronic/53.Pop-Folk/"
    "54.Eurodance/55.Dream/56.Southern Rock/57.Comedy/58.Cult/59.Gangsta/60.Top 40/"
    "061.Christian Rap/62.Pop/Funk/63.Jungle/64.Native American/65.Cabaret/66.New Wave/"
    "67.Psychadelic/68.Rave/69.Showtunes/70.Trailer/71.Lo-Fi/72.Tribal/73.Acid Punk/"
    "74.Acid Jazz/75.Polka/76.Retro/77.Musical/78.Rock & Roll/79.Hard Rock/80.Folk/"
    "81.Folk-Rock/82.National Folk/83.Swing/84.Fast Fusion/85.Bebob/86.Latin/87.Revival/"
    "88.Celtic/89.Bluegrass/90.Avantgarde/91.Gothic Rock/92.Progressive Rock/"
    "93.Psychedelic Rock/94.Symphonic Rock/95.Slow Rock/96.Big Band/97.Chorus/"
    "98.Easy Listening/99.Acoustic/100.Humour/101.Speech/102.Chanson/103.Opera/"
    "104.Chamber Music/105.Sonata/106.Symphony/107.Booty Bass/108.Primus/109.Porn Groove/"
    "110.Satire/111.Slow Jam/112.Club/113.Tango/114.Samba/115.Folklore/116.Ballad/"
    "117.Power Ballad/118.Rhythmic Soul/119.Freestyle/120.Duet/121.Punk Rock/122.Drum Solo/"
    "123.A capella/124.Euro-House/125.Dance Hall/126.Goa/127.Drum & Bass/128.Club-House/"
    "129.Hardcore/130.Terror/131.Indie/132.BritPop/133.Afro-Punk/134.Polsk Punk/135.Beat/"
    "136.Christian Gangsta Rap/137.Heavy Metal/138.Black Metal/139.Crossover/"
    "140.Contemporary Christian/141.Christian Rock/142.Merengue/143.Salsa/144.Thrash Metal/"
    "145.Anime/146.JPop/147.Synthpop/148.Abstract/149.Art Rock/150.Baroque/151.Bhangra/"
    "152.Big Beat/153.Breakbeat/154.Chillout/155.Downtempo/156.Dub/157.EBM/158.Eclectic/"
    "159.Electro/160.Electroclash/161.Emo/162.Experimental/163.Garage/164.Global/165.IDM/"
    "166.Illbient/167.Industro-Goth/168.Jam Band/169.Krautrock/170.Leftfield/171.Lounge/"
    "172.Math Rock/173.New Romantic/174.Nu-Breakz/175.Post-Punk/176.Post-Rock/177.Psytrance/"
    "178.Shoegaze/179.Space Rock/180.Trop Rock/181.World Music/182.Neoclassical/"
    "183.Audiobook/184.Audio Theatre/185.Neue Deutsche Welle/186.Podcast/187.Indie Rock/"
    "188.G-Funk/189.Dubstep/190.Garage Rock/191.Psybient/";

constexpr size_t kGenreNameMax = 30;
constexpr size_t kDisplayArtistMax = 53;  // longer artists are cut and get "..."
constexpr size_t kDisplayTitleRoom = 115;
constexpr size_t kDisplayFileMax = 116;

// title cut to room characters, its last three replaced by "..." when it was cut.
std::wstring CutWithDots(std::wstring_view text, size_t room) {
    if (text.size() <= room) return std::wstring(text);
    std::wstring out(text.substr(0, room));
    out.replace(out.size() - 3, 3, L"...");
    return out;
}

// The last path component without its extension; "\" and "/" both separate folders.
std::wstring FileStem(const wchar_t* path) {
    if (!path) return {};
    std::wstring_view name(path);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos) name = name.substr(0, dot);
    return std::wstring(name);
}

const wchar_t* NonEmpty(const wchar_t* text) {
    return text && *text ? text : nullptr;
}

}  // namespace

bool Id3StoreText(wchar_t*& slot, const std::wstring& text) {
    wchar_t* copy = new (std::nothrow) wchar_t[text.size() + 1];
    if (!copy) return false;
    std::wmemcpy(copy, text.c_str(), text.size() + 1);
    slot = copy;
    return true;
}

void Id3FreeTags(Id3Tags& tags, void (*deleteTempPicture)()) {
    for (wchar_t*& text : tags.tagText) {
        delete[] text;
        text = nullptr;
    }
    delete[] tags.pictureData;
    tags.pictureData = nullptr;
    tags.pictureSize = 0;
    if (tags.pictureFileWritten) {
        if (deleteTempPicture) deleteTempPicture();
        tags.pictureFileWritten = 0;
    }
}

std::wstring Id3GenreName(int number) {
    const std::string digits = std::to_string(number);
    const std::string_view list(kGenreList);
    const size_t at = list.find(digits);
    if (at == std::string_view::npos) return Utf8ToWide(digits);
    const size_t dot = list.find('.', at);
    if (dot == std::string_view::npos) return Utf8ToWide(digits);
    const size_t end = list.find('/', dot);
    return Utf8ToWide(list.substr(dot + 1, std::min(end - dot - 1, kGenreNameMax)));
}

int Id3GenreNumber(std::string_view name) {
    if (name.empty()) return 255;
    const std::string_view list(kGenreList);
    std::string key(name.size() + 2, '.');
    key.replace(1, name.size(), name);
    key.back() = '/';
    const size_t at = list.find(key);
    if (at == std::string_view::npos) return 255;
    // The digits between the "/" that opens the entry (at most 5 characters back) and the dot.
    const size_t from = at > 5 ? at - 5 : 0;
    const size_t slash = list.substr(from, at - from).rfind('/');
    if (slash == std::string_view::npos) return 255;
    int number = 0;
    for (size_t i = from + slash + 1; i < at; ++i) {
        if (list[i] < '0' || list[i] > '9') return 255;
        number = number * 10 + (list[i] - '0');
    }
    return number <= 254 ? number : 255;
}

std::wstring Id3DisplayTitle(const Id3Tags& tags, const wchar_t* fileName) {
    const wchar_t* artist = NonEmpty(tags.tagText[kTagArtist]);
    const wchar_t* title = NonEmpty(tags.tagText[kTagTitle]);
    if (!artist && !title) return FileStem(fileName).substr(0, kDisplayFileMax);
    if (!artist) return CutWithDots(title, kDisplayFileMax);

    const std::wstring_view a(artist);
    std::wstring out(a.substr(0, kDisplayArtistMax));
    if (a.size() > kDisplayArtistMax) out += L"...";
    if (title) {
        out += L" - ";
        out += CutWithDots(title, kDisplayTitleRoom - std::min(a.size(), kDisplayArtistMax + 1));
    }
    return out;
}
