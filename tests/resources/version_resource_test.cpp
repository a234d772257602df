// The version block and the icon as Windows reads them out of a program built with
// resources/vorlund.rc: this test itself, which links the script as vorlund.exe does.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include <windows.h>

namespace vorlund {
namespace {

// RT_ICON and RT_GROUP_ICON as the wide API takes them.
const wchar_t* const iconType = MAKEINTRESOURCEW(3);
const wchar_t* const iconGroupType = MAKEINTRESOURCEW(14);

// What Explorer shows in the program's properties.
TEST(VersionResource, WindowsReadsTheProductAndItsVersion)
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    DWORD ignored = 0;
    std::vector<char> block(::GetFileVersionInfoSizeW(self.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        ::GetFileVersionInfoW(self.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const auto value = [&](const std::wstring& key) -> void* {
        void* found = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(block.data(), key.c_str(), &found, &length) && length ? found
                                                                                      : nullptr;
    };

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\"));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "1.0";
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    // The strings are found through the language the block names.
    const auto* language = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(language);
    wchar_t table[32];
    std::swprintf(table, 32, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    for (const auto& [key, text] : std::map<std::wstring, std::wstring>{
             {L"ProductName", L"vorlund"}, {L"FileVersion", L"1.00"}}) {
        const auto* found = static_cast<const wchar_t*>(value(table + key));
        ASSERT_TRUE(found) << "no " << std::string(key.begin(), key.end());
        EXPECT_EQ(std::wstring(found), text);
    }
}

// The icon, read as Windows reads it: an image it cannot take shows as a blank square.
HICON iconOf(const wchar_t* name)
{
    const HRSRC found = ::FindResourceW(nullptr, name, iconType);
    return found ? ::CreateIconFromResourceEx(
                       static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, found))),
                       ::SizeofResource(nullptr, found), TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR)
                 : nullptr;
}

int widthOf(HICON icon)
{
    ICONINFO info{};
    BITMAP bitmap{};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    return bitmap.bmWidth;
}

TEST(IconResource, WindowsLoadsNineImagesAndPicksOneOfEachSize)
{
    std::map<int, int> sizes;
    ::EnumResourceNamesW(
        nullptr, iconType,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            ++(*reinterpret_cast<std::map<int, int>*>(found))[widthOf(iconOf(name))];
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&sizes));
    EXPECT_EQ(sizes, (std::map<int, int>{{16, 3}, {32, 3}, {48, 3}}));

    const HRSRC group = ::FindResourceW(nullptr, L"IDI_ICON1", iconGroupType);
    ASSERT_TRUE(group);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    for (const int size : {16, 32, 48}) {
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        EXPECT_EQ(widthOf(iconOf(MAKEINTRESOURCEW(id))), size);
    }
}

} // namespace
} // namespace vorlund
