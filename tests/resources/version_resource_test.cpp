// The version block and the icon as Windows reads them out of a program built with
// resources/vorlund.rc: this test itself, which links the script as vorlund.exe does.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace vorlund {
namespace {

// What Explorer shows in the program's properties, found through the language the block names.
TEST(Resources, WindowsReadsTheProductAndItsVersion)
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    DWORD ignored = 0;
    std::vector<char> block(::GetFileVersionInfoSizeW(self.c_str(), &ignored));
    ASSERT_TRUE(
        !block.empty() &&
        ::GetFileVersionInfoW(self.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const auto value = [&](const std::wstring& key) -> const void* {
        void* found = nullptr;
        UINT length = 0;
        return ::VerQueryValueW(block.data(), key.c_str(), &found, &length) && length ? found
                                                                                      : nullptr;
    };
    const auto* language = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(language);
    wchar_t table[32];
    std::swprintf(table, 32, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    for (const auto& [key, text] :
         {std::pair{L"ProductName", L"vorlund"}, std::pair{L"FileVersion", L"1.00"}}) {
        const auto* found = static_cast<const wchar_t*>(value(table + std::wstring(key)));
        EXPECT_EQ(std::wstring(found ? found : L"(none)"), text);
    }
}

// The image Windows picks for each size, which shows as a blank square when it cannot take it.
TEST(Resources, WindowsTakesTheIconAtEachSize)
{
    const HRSRC group = ::FindResourceW(nullptr, L"IDI_ICON1", MAKEINTRESOURCEW(14));
    ASSERT_TRUE(group);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    for (const int size : {16, 32, 48}) {
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        const HRSRC image = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
        ASSERT_TRUE(image) << size;
        const HICON icon = ::CreateIconFromResourceEx(
            static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, image))),
            ::SizeofResource(nullptr, image), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        EXPECT_TRUE(icon) << size;
        ::DestroyIcon(icon);
    }
}

} // namespace
} // namespace vorlund
