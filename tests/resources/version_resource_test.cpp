// Reads the version block and the icon back out of a program built with resources/vorlund.rc:
// this test itself, which links the script as vorlund.exe does. Windows only.
#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace vorlund {
namespace {

// RT_VERSION, RT_GROUP_ICON and RT_ICON as the wide API takes them; <windows.h> spells them
// narrow in a program built without UNICODE.
const wchar_t* const versionType = MAKEINTRESOURCEW(16);
const wchar_t* const iconGroupType = MAKEINTRESOURCEW(14);
const wchar_t* const iconType = MAKEINTRESOURCEW(3);

// A resource's name as FindResourceW takes it: its own, or "#" and its number.
std::wstring numbered(std::uint32_t id)
{
    return L"#" + std::to_wstring(id);
}

// A resource of this program, as bytes.
std::string resource(const wchar_t* type, const std::wstring& name)
{
    const HRSRC found = ::FindResourceW(nullptr, name.c_str(), type);
    if (!found)
        throw std::runtime_error("no such resource in the built program");
    const HGLOBAL loaded = ::LoadResource(nullptr, found);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    return {bytes, bytes + ::SizeofResource(nullptr, found)};
}

std::vector<std::wstring> resourceNames(const wchar_t* type)
{
    std::vector<std::wstring> names;
    ::EnumResourceNamesW(
        nullptr, type,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(
                IS_INTRESOURCE(name)
                    ? numbered(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)))
                    : std::wstring(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::uint32_t u16(const std::string& bytes, std::size_t at)
{
    return std::uint8_t(bytes.at(at)) | std::uint32_t(std::uint8_t(bytes.at(at + 1))) << 8;
}

std::uint32_t u32(const std::string& bytes, std::size_t at)
{
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

std::size_t alignedTo4(std::size_t at)
{
    return (at + 3) & ~std::size_t(3);
}

// One node of a VS_VERSIONINFO tree: wLength, wValueLength, wType, a UTF-16 key, padding to
// 32 bits, the value, padding, the children.
struct Node
{
    std::wstring key;
    std::string value; // raw bytes
    bool isText = false;
    std::vector<Node> children;

    std::wstring text() const
    {
        std::wstring result;
        for (std::size_t at = 0; at + 1 < value.size(); at += 2)
            result += wchar_t(u16(value, at));
        while (!result.empty() && result.back() == L'\0')
            result.pop_back();
        return result;
    }
    const Node& child(const std::wstring& name) const
    {
        const auto found = std::find_if(children.begin(), children.end(),
                                        [&](const Node& node) { return node.key == name; });
        if (found == children.end())
            throw std::runtime_error("no such block in the version resource");
        return *found;
    }
};

Node parse(const std::string& bytes, std::size_t at)
{
    const std::size_t end = at + u16(bytes, at);
    const std::size_t valueLength = u16(bytes, at + 2);
    Node node;
    node.isText = u16(bytes, at + 4) == 1;
    std::size_t cursor = at + 6;
    for (; u16(bytes, cursor) != 0; cursor += 2)
        node.key += wchar_t(u16(bytes, cursor));
    cursor = alignedTo4(cursor + 2);
    // A text value's length counts UTF-16 units, a binary one's bytes.
    const std::size_t valueBytes = node.isText ? valueLength * 2 : valueLength;
    node.value = bytes.substr(cursor, valueBytes);
    cursor = alignedTo4(cursor + valueBytes);
    while (cursor < end) {
        node.children.push_back(parse(bytes, cursor));
        cursor = alignedTo4(cursor + u16(bytes, cursor));
    }
    return node;
}

class VersionResourceTest : public ::testing::Test
{
protected:
    Node root = parse(resource(versionType, numbered(VS_VERSION_INFO)), 0);
};

TEST_F(VersionResourceTest, FixedPartIsVersionOneOfAWindowsApplication)
{
    ASSERT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    const auto& fixed = *reinterpret_cast<const VS_FIXEDFILEINFO*>(root.value.data());

    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u) << "1.0";
    EXPECT_EQ(fixed.dwFileVersionLS, 0u) << ".0.0";
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(fixed.dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
}

TEST_F(VersionResourceTest, StringTableHoldsExactlyTheFiveEntries)
{
    const Node& strings = root.child(L"StringFileInfo");
    ASSERT_EQ(strings.children.size(), 1u) << "one string table only";
    const Node& usEnglish = strings.children.front();
    EXPECT_EQ(usEnglish.key, L"040904B0");

    std::map<std::wstring, std::wstring> entries;
    for (const Node& entry : usEnglish.children) {
        EXPECT_TRUE(entry.isText);
        EXPECT_TRUE(entries.emplace(entry.key, entry.text()).second) << "twice";
    }
    const std::map<std::wstring, std::wstring> expected = {
        {L"FileVersion", L"1.00"},
        {L"InternalName", L"vorlund"},
        {L"OriginalFilename", L"vorlund.exe"},
        {L"ProductName", L"vorlund"},
        {L"ProductVersion", L"1.00"},
    };
    EXPECT_EQ(entries, expected);
}

TEST_F(VersionResourceTest, TranslationIsUsEnglishInUnicode)
{
    const Node& variables = root.child(L"VarFileInfo");
    ASSERT_EQ(variables.children.size(), 1u);
    const Node& translation = variables.child(L"Translation");

    ASSERT_EQ(translation.value.size(), 4u);
    EXPECT_EQ(u16(translation.value, 0), 0x0409u) << "US English";
    EXPECT_EQ(u16(translation.value, 2), 0x04B0u) << "code page 1200, UTF-16";
}

TEST(IconResource, OneIconGroupHoldsExactlyTheNineImages)
{
    const std::vector<std::wstring> groups = resourceNames(iconGroupType);
    ASSERT_EQ(groups.size(), 1u);
    const std::string group = resource(iconGroupType, groups.front());
    // GRPICONDIR: reserved, type 1 (icon), count; then 14-byte entries.
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(u16(group, 0), 0u);
    EXPECT_EQ(u16(group, 2), 1u);
    ASSERT_EQ(u16(group, 4), 9u);
    ASSERT_EQ(group.size(), 6u + 9 * 14);

    std::vector<std::pair<std::uint32_t, std::uint32_t>> kinds; // size, bits per pixel
    std::vector<std::wstring> images;
    for (std::size_t entry = 6; entry < group.size(); entry += 14) {
        const std::uint32_t width = std::uint8_t(group[entry]);
        EXPECT_EQ(std::uint32_t(std::uint8_t(group[entry + 1])), width) << "square";
        kinds.emplace_back(width, u16(group, entry + 6));
        const std::wstring image = numbered(u16(group, entry + 12));
        images.push_back(image);
        EXPECT_EQ(resource(iconType, image).size(), u32(group, entry + 8))
            << "an image as large as the group says";
    }
    std::sort(kinds.begin(), kinds.end());
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 4}, {48, 8}, {48, 32}};
    EXPECT_EQ(kinds, expected);

    std::vector<std::wstring> allImages = resourceNames(iconType);
    std::sort(allImages.begin(), allImages.end());
    std::sort(images.begin(), images.end());
    EXPECT_EQ(allImages, images) << "no image outside the group";
}

} // namespace
} // namespace vorlund
