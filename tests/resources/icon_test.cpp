#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <ostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vorlund {
namespace {

namespace fs = std::filesystem;

const fs::path ResourcesDir = VORLUND_RESOURCES_DIR;

std::string contentsOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path.string() + ": " + std::strerror(errno));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian reads that fail the test instead of reading past the end of the file.
class Bytes
{
public:
    explicit Bytes(std::string data) : m_data(std::move(data)) {}

    std::size_t size() const { return m_data.size(); }
    std::uint32_t u8(std::size_t at) const { return unsigned(std::uint8_t(m_data.at(at))); }
    std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }

private:
    std::string m_data;
};

// ---- vorlund.ico ----------------------------------------------------------------------------

constexpr std::size_t IconDirSize = 6;
constexpr std::size_t IconDirEntrySize = 16;
constexpr std::size_t BitmapInfoHeaderSize = 40;

struct DirEntry
{
    std::uint32_t width, height, colourCount, reserved, planes, bitCount, bytes, offset;
};

std::vector<DirEntry> directoryOf(const Bytes& ico)
{
    std::vector<DirEntry> entries;
    for (std::size_t i = 0; i < ico.u16(4); ++i) {
        const std::size_t at = IconDirSize + i * IconDirEntrySize;
        entries.push_back({ico.u8(at), ico.u8(at + 1), ico.u8(at + 2), ico.u8(at + 3),
                           ico.u16(at + 4), ico.u16(at + 6), ico.u32(at + 8), ico.u32(at + 12)});
    }
    return entries;
}

std::size_t rowBytes(int width, int bits)
{
    return std::size_t((width * bits + 31) / 32 * 4);
}

struct Rgba
{
    std::uint32_t r, g, b, a;
};

// One image of the icon, decoded from its BITMAPINFOHEADER, palette, colour bitmap and AND mask.
class IconImage
{
public:
    IconImage(const Bytes& ico, std::size_t offset) : m_ico(ico), m_offset(offset) {}

    std::uint32_t headerSize() const { return m_ico.u32(m_offset); }
    std::int32_t width() const { return m_ico.i32(m_offset + 4); }
    std::int32_t height() const { return m_ico.i32(m_offset + 8); }
    std::uint32_t planes() const { return m_ico.u16(m_offset + 12); }
    int bitCount() const { return int(m_ico.u16(m_offset + 14)); }
    std::uint32_t compression() const { return m_ico.u32(m_offset + 16); }
    std::uint32_t paletteSize() const
    {
        const std::uint32_t used = m_ico.u32(m_offset + 32);
        return used != 0 || bitCount() > 8 ? used : 1u << bitCount();
    }
    // The bytes that the header, palette and both bitmaps take together.
    std::size_t totalBytes() const
    {
        return BitmapInfoHeaderSize + 4 * paletteSize() +
               rowBytes(width(), bitCount()) * std::size_t(width()) +
               rowBytes(width(), 1) * std::size_t(width());
    }

    // Rows are stored bottom first; x and y here count from the top left.
    bool masked(int x, int y) const
    {
        const std::size_t row = maskStart() + rowBytes(width(), 1) * std::size_t(width() - 1 - y);
        return (m_ico.u8(row + std::size_t(x / 8)) >> (7 - x % 8) & 1) != 0;
    }
    std::uint32_t paletteIndex(int x, int y) const
    {
        const std::size_t row =
            colourStart() + rowBytes(width(), bitCount()) * std::size_t(width() - 1 - y);
        if (bitCount() == 8)
            return m_ico.u8(row + std::size_t(x));
        return m_ico.u8(row + std::size_t(x / 2)) >> (x % 2 == 0 ? 4 : 0) & 0xf;
    }
    Rgba paletteColour(std::uint32_t index) const
    {
        if (index >= paletteSize())
            throw std::out_of_range("palette index " + std::to_string(index));
        const std::size_t at = m_offset + BitmapInfoHeaderSize + 4 * index;
        return {m_ico.u8(at + 2), m_ico.u8(at + 1), m_ico.u8(at), 255};
    }
    Rgba pixel(int x, int y) const
    {
        if (bitCount() != 32)
            return paletteColour(paletteIndex(x, y));
        const std::size_t at = colourStart() +
                               rowBytes(width(), 32) * std::size_t(width() - 1 - y) +
                               4 * std::size_t(x);
        return {m_ico.u8(at + 2), m_ico.u8(at + 1), m_ico.u8(at), m_ico.u8(at + 3)};
    }

private:
    std::size_t colourStart() const { return m_offset + BitmapInfoHeaderSize + 4 * paletteSize(); }
    std::size_t maskStart() const
    {
        return colourStart() + rowBytes(width(), bitCount()) * std::size_t(width());
    }

    const Bytes& m_ico;
    std::size_t m_offset;
};

struct Kind
{
    int size;
    int bits;
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.size << " px, " << kind.bits << " bits";
}

std::string kindName(const ::testing::TestParamInfo<Kind>& info)
{
    return std::to_string(info.param.size) + "px" + std::to_string(info.param.bits) + "bits";
}

const std::vector<Kind> AllKinds = {{16, 4},  {16, 8}, {16, 32}, {32, 4}, {32, 8},
                                    {32, 32}, {48, 4}, {48, 8},  {48, 32}};

class IconFileTest : public ::testing::Test
{
protected:
    // The one entry of this size and depth; fails the test when there is not exactly one.
    DirEntry entryOf(Kind kind) const
    {
        std::vector<DirEntry> found;
        for (const DirEntry& entry : directoryOf(ico))
            if (int(entry.width) == kind.size && int(entry.bitCount) == kind.bits)
                found.push_back(entry);
        if (found.size() != 1)
            throw std::runtime_error(std::to_string(found.size()) + " images of " +
                                     std::to_string(kind.size) + " px, " +
                                     std::to_string(kind.bits) + " bits");
        return found.front();
    }
    IconImage imageOf(Kind kind) const { return IconImage(ico, entryOf(kind).offset); }

    Bytes ico{contentsOf(ResourcesDir / "vorlund.ico")};
};

TEST_F(IconFileTest, HoldsExactlyNineImagesEachWhollyInsideTheFile)
{
    ASSERT_GE(ico.size(), IconDirSize);
    EXPECT_EQ(ico.u16(0), 0u) << "reserved";
    EXPECT_EQ(ico.u16(2), 1u) << "resource type: icon";
    const std::vector<DirEntry> entries = directoryOf(ico);
    ASSERT_EQ(entries.size(), 9u);

    std::vector<std::pair<int, int>> kinds;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (const DirEntry& entry : entries) {
        kinds.emplace_back(entry.width, entry.bitCount);
        spans.emplace_back(entry.offset, std::size_t(entry.offset) + entry.bytes);
        EXPECT_GE(entry.offset, IconDirSize + entries.size() * IconDirEntrySize);
        EXPECT_LE(std::size_t(entry.offset) + entry.bytes, ico.size());
    }
    std::vector<std::pair<int, int>> expected;
    for (const Kind& kind : AllKinds)
        expected.emplace_back(kind.size, kind.bits);
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, expected);

    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        EXPECT_LE(spans[i - 1].second, spans[i].first) << "images overlap";
}

class IconImageTest : public IconFileTest, public ::testing::WithParamInterface<Kind>
{
protected:
    int size() const { return GetParam().size; }
    int bits() const { return GetParam().bits; }
    std::uint32_t expectedPaletteSize() const { return bits() <= 8 ? 1u << bits() : 0u; }
    IconImage image() const { return imageOf(GetParam()); }
    IconImage trueColour() const { return imageOf({size(), 32}); }
};

INSTANTIATE_TEST_SUITE_P(, IconImageTest, ::testing::ValuesIn(AllKinds), kindName);

TEST_P(IconImageTest, DirectoryEntryDescribesTheImage)
{
    const DirEntry entry = entryOf(GetParam());

    EXPECT_EQ(entry.height, std::uint32_t(size()));
    EXPECT_EQ(entry.colourCount, bits() == 4 ? 16u : 0u);
    EXPECT_EQ(entry.reserved, 0u);
    EXPECT_EQ(entry.planes, 1u);
    EXPECT_EQ(entry.bytes, image().totalBytes()) << "header, palette, bitmap and mask";
}

TEST_P(IconImageTest, BitmapHeaderDescribesTheImage)
{
    const IconImage image = this->image();

    EXPECT_EQ(image.headerSize(), BitmapInfoHeaderSize);
    EXPECT_EQ(image.width(), size());
    EXPECT_EQ(image.height(), 2 * size()) << "the colour bitmap and the AND mask";
    EXPECT_EQ(image.planes(), 1u);
    EXPECT_EQ(image.bitCount(), bits());
    EXPECT_EQ(image.compression(), 0u) << "BI_RGB";
    EXPECT_EQ(image.paletteSize(), expectedPaletteSize());
}

TEST_P(IconImageTest, IsTransparentAroundTheDrawingAndOpaqueInIt)
{
    const IconImage image = this->image();
    const IconImage reference = trueColour();
    int transparent = 0;
    int opaque = 0;
    for (int y = 0; y < size(); ++y) {
        for (int x = 0; x < size(); ++x) {
            const std::uint32_t alpha = reference.pixel(x, y).a;
            transparent += alpha == 0;
            opaque += alpha == 255;
            if (alpha == 0 || alpha == 255) {
                EXPECT_EQ(image.masked(x, y), alpha == 0) << "at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(transparent, size()) << "the corners at least";
    EXPECT_GT(opaque, size() * size() / 2);
}

// The 16- and 256-colour images, checked against the true colour image of their size.
class PalettedImageTest : public IconImageTest
{
};

INSTANTIATE_TEST_SUITE_P(, PalettedImageTest,
                         ::testing::Values(Kind{16, 4}, Kind{16, 8}, Kind{32, 4}, Kind{32, 8},
                                           Kind{48, 4}, Kind{48, 8}),
                         kindName);

TEST_P(PalettedImageTest, PixelsMatchTheTrueColourImage)
{
    const IconImage image = this->image();
    const IconImage reference = trueColour();
    long difference = 0;
    long channels = 0;
    for (int y = 0; y < size(); ++y) {
        for (int x = 0; x < size(); ++x) {
            const Rgba colour = image.pixel(x, y);
            if (image.masked(x, y)) {
                // Windows draws (screen AND mask) XOR colour: only black leaves the screen as is.
                EXPECT_EQ(colour.r + colour.g + colour.b, 0u) << "at " << x << "," << y;
                continue;
            }
            const Rgba wanted = reference.pixel(x, y);
            if (wanted.a != 255)
                continue;
            for (auto channel : {&Rgba::r, &Rgba::g, &Rgba::b})
                difference += std::abs(long(colour.*channel) - long(wanted.*channel));
            channels += 3;
        }
    }
    ASSERT_GT(channels, 0);
    EXPECT_LE(double(difference) / double(channels), bits() == 4 ? 16.0 : 4.0)
        << "mean difference per channel";
}

// ---- Linux desktop icons --------------------------------------------------------------------

class DesktopIconTest : public ::testing::TestWithParam<int>
{
};

INSTANTIATE_TEST_SUITE_P(, DesktopIconTest, ::testing::Values(16, 32, 48),
                         [](const auto& info) { return std::to_string(info.param) + "px"; });

TEST_P(DesktopIconTest, IsAnRgbaPngOfItsFolderSize)
{
    const int size = GetParam();
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    const Bytes png(contentsOf(ResourcesDir / "icons/hicolor" / folder / "apps/vorlund.png"));
    const auto bigEndian = [&](std::size_t at) {
        return png.u8(at) << 24 | png.u8(at + 1) << 16 | png.u8(at + 2) << 8 | png.u8(at + 3);
    };

    EXPECT_EQ(bigEndian(0), 0x89504e47u) << "PNG signature";
    EXPECT_EQ(bigEndian(12), 0x49484452u) << "IHDR first";
    EXPECT_EQ(bigEndian(16), std::uint32_t(size)) << "width";
    EXPECT_EQ(bigEndian(20), std::uint32_t(size)) << "height";
    EXPECT_EQ(png.u8(24), 8u) << "bits per channel";
    EXPECT_EQ(png.u8(25), 6u) << "colour type: RGB with alpha";
}

// ---- vorlund.rc -----------------------------------------------------------------------------

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

// The statements of a resource script, trimmed, without blank lines, comments and preprocessor
// lines.
std::vector<std::string> statementsOf(const std::string& text)
{
    std::vector<std::string> statements;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.compare(0, 2, "//") != 0 && line[0] != '#')
            statements.push_back(line);
    }
    return statements;
}

bool opens(const std::string& statement)
{
    return statement == "BEGIN" || statement == "{";
}

bool closes(const std::string& statement)
{
    return statement == "END" || statement == "}";
}

// A statement that opens a block: what stands between it and BEGIN (the fixed part of a
// VERSIONINFO), and what stands between BEGIN and its END, nested blocks included.
struct Block
{
    std::vector<std::string> header;
    std::vector<std::string> body;
};

Block blockOf(const std::vector<std::string>& statements, const std::string& pattern)
{
    const std::regex opening(pattern);
    const auto isOpening = [&](const std::string& s) { return std::regex_match(s, opening); };
    if (std::count_if(statements.begin(), statements.end(), isOpening) != 1)
        throw std::runtime_error("not exactly one block opened by " + pattern);
    auto at = std::find_if(statements.begin(), statements.end(), isOpening) + 1;
    Block block;
    for (; at != statements.end() && !opens(*at); ++at)
        block.header.push_back(*at);
    if (at == statements.end())
        throw std::runtime_error(pattern + ": no BEGIN");
    int depth = 1;
    for (++at; at != statements.end(); ++at) {
        depth += opens(*at) ? 1 : closes(*at) ? -1 : 0;
        if (depth == 0)
            return block;
        block.body.push_back(*at);
    }
    throw std::runtime_error(pattern + ": no END");
}

// A number as the resource compiler reads it, or one of the few names from <winver.h> that the
// script uses.
unsigned long numberOf(const std::string& token)
{
    static const std::map<std::string, unsigned long> names = {{"VOS__WINDOWS32", 0x4},
                                                               {"VFT_APP", 0x1}};
    if (const auto name = names.find(token); name != names.end())
        return name->second;
    std::size_t used = 0;
    const unsigned long value = std::stoul(token, &used, 0);
    if (used != token.size())
        throw std::invalid_argument("not a number: " + token);
    return value;
}

std::vector<unsigned long> numbersOf(const std::string& list)
{
    std::vector<unsigned long> numbers;
    std::size_t start = 0;
    for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
        numbers.push_back(numberOf(trimmed(list.substr(start, comma - start))));
    numbers.push_back(numberOf(trimmed(list.substr(start))));
    return numbers;
}

class VersionBlockTest : public ::testing::Test
{
protected:
    std::vector<std::string> statements = statementsOf(contentsOf(ResourcesDir / "vorlund.rc"));
    Block versionInfo = blockOf(statements, R"(\w+\s+VERSIONINFO)");
};

TEST_F(VersionBlockTest, FixedPartIsVersionOneOfAWindowsApplication)
{
    const std::regex keyword(R"((\w+)\s+(.+))");
    std::map<std::string, std::vector<unsigned long>> fixed;
    for (const std::string& statement : versionInfo.header) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(statement, match, keyword)) << statement;
        ASSERT_TRUE(fixed.emplace(match[1].str(), numbersOf(match[2].str())).second)
            << "twice: " << statement;
    }

    const std::map<std::string, std::vector<unsigned long>> expected = {
        {"FILEVERSION", {1, 0, 0, 0}},
        {"PRODUCTVERSION", {1, 0, 0, 0}},
        {"FILEFLAGSMASK", {0x3f}},
        {"FILEFLAGS", {0}},
        {"FILEOS", {0x4}},
        {"FILETYPE", {0x1}},
        {"FILESUBTYPE", {0}},
    };
    EXPECT_EQ(fixed, expected);
}

TEST_F(VersionBlockTest, StringTableHoldsExactlyTheFiveEntries)
{
    const Block stringFileInfo = blockOf(versionInfo.body, R"(BLOCK\s+"StringFileInfo")");
    const Block usEnglish = blockOf(stringFileInfo.body, R"(BLOCK\s+"040904B0")");
    EXPECT_EQ(stringFileInfo.body.size(), usEnglish.body.size() + 3) << "one string table only";

    const std::regex value(R"re(VALUE\s+"([^"]*)"\s*,\s*"([^"]*)")re");
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& statement : usEnglish.body) {
        std::smatch match;
        if (std::regex_match(statement, match, value))
            entries.emplace_back(match[1].str(), match[2].str());
        else
            ADD_FAILURE() << "not a string entry: " << statement;
    }
    std::sort(entries.begin(), entries.end());

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"FileVersion", "1.00"},
        {"InternalName", "vorlund"},
        {"OriginalFilename", "vorlund.exe"},
        {"ProductName", "vorlund"},
        {"ProductVersion", "1.00"},
    };
    EXPECT_EQ(entries, expected);
}

TEST_F(VersionBlockTest, TranslationIsUsEnglishInUnicode)
{
    const Block varFileInfo = blockOf(versionInfo.body, R"(BLOCK\s+"VarFileInfo")");

    ASSERT_EQ(varFileInfo.body.size(), 1u);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(varFileInfo.body.front(), match,
                                 std::regex(R"re(VALUE\s+"Translation"\s*,\s*(.+))re")))
        << varFileInfo.body.front();
    EXPECT_EQ(numbersOf(match[1].str()), (std::vector<unsigned long>{0x409, 1200}));
}

TEST_F(VersionBlockTest, NamesTheIconFileBesideIt)
{
    const std::regex icon(R"re(\w+\s+ICON\s+"([^"]+)")re");
    std::vector<std::string> files;
    for (const std::string& statement : statements) {
        std::smatch match;
        if (std::regex_match(statement, match, icon))
            files.push_back(match[1].str());
    }

    ASSERT_EQ(files, std::vector<std::string>{"vorlund.ico"});
    EXPECT_TRUE(fs::is_regular_file(ResourcesDir / files.front()));
}

} // namespace
} // namespace vorlund
