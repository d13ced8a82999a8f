// The settings file against committed sample files: reads, and writes that change only their own line.
#include "ini/ini_file.h"

#include <string>

#include <gtest/gtest.h>

#include "case_name.h"
#include "ini_samples.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::CopySample;
using test::kDefault;
using test::ReadBytes;
using test::SamplePath;
using test::TempDir;
using test::Utf16;

struct ReadCase
{
    const char* name;
    const char* file;
    const char* key;
    std::string expected;
};

class ReadStringTest : public testing::TestWithParam<ReadCase>
{};

TEST_P(ReadStringTest, ReadsSample)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniFile(SamplePath(c.file)).ReadString("CONFIG", c.key, kDefault), c.expected);
}

const ReadCase kReadCases[] = {
    {"TrimmedHeaderAndKey", "spacing.ini", "vPath", "/srv/releases"},
    {"KeyCaseIgnored", "spacing.ini", "OnlyDuplicate", "0"},
    {"ControlCharacterTrimmed", "spacing.ini", "BlackList", "Qux"},
    {"SingleQuotesStripped", "quotes.ini", "single", "/srv/single"},
    {"QuotesKeepBlankEnds", "quotes.ini", "padded", "  both ends  "},
    {"MismatchedQuotesKept", "quotes.ini", "mismatched", "\"/srv/mismatch'"},
    {"OnlyOuterPairStripped", "quotes.ini", "outer", "a\"b"},
    {"EmptyQuotesReadAsDefault", "quotes.ini", "empty", kDefault},
    {"CrOnlyLines", "cr_only.ini", "Position", "301"},
    {"UnterminatedLastLine", "mixed_endings.ini", "ListFile", "1"},
    {"FirstDuplicateKeyWins", "duplicates.ini", "vPath", "/first"},
    {"SecondSectionOfSameNameIgnored", "duplicates.ini", "ListFile", kDefault},
    {"ByteOrderMarkSkipped", "bom.ini", "vPath", "/bom"},
    {"CommentedKeyAbsent", "comments.ini", "vPath", kDefault},
    {"KeyWithoutEqualsWinsAndReadsAbsent", "comments.ini", "Position", kDefault},
    {"SemicolonInsideValueKept", "comments.ini", "WhiteList", "a;b ; not a comment"},
    {"Value1023BytesWhole", "long_values.ini", "vPath", "/" + std::string(1022, 'a')},
    {"Value1024BytesCut", "long_values.ini", "BlackList", std::string(1023, 'b')},
    {"MissingFile", "no_such_file.ini", "vPath", kDefault},
    // Saved as "Unicode" by a Windows editor: read as UTF-8, whichever the byte order.
    {"Utf16LittleEndian", "utf16le.ini", "vPath", "/srv/\xE4\xB8\x8B\xE8\xBD\xBD"},
    {"Utf16BigEndian", "utf16be.ini", "WhiteList", "\xC3\x9Cn\xC3\xAF,\xF0\x9F\x98\x80"},
};

INSTANTIATE_TEST_SUITE_P(Samples, ReadStringTest, testing::ValuesIn(kReadCases), test::CaseName());

struct TypedCase
{
    const char* name;
    const char* section;
    const char* key;
    bool isBool;
    int defaultValue;
    int expected;
};

class ReadTypedTest : public testing::TestWithParam<TypedCase>
{};

TEST_P(ReadTypedTest, ReadsSample)
{
    const TypedCase& c = GetParam();
    const IniFile ini(SamplePath("typed.ini"));
    if (c.isBool)
        EXPECT_EQ(ini.ReadBool(c.section, c.key, c.defaultValue != 0), c.expected != 0);
    else
        EXPECT_EQ(ini.ReadInteger(c.section, c.key, c.defaultValue), c.expected);
}

const TypedCase kTypedCases[] = {
    {"IntPlusSign", "int", "plus", false, 374, 8},
    {"IntMin", "int", "min", false, 374, -2147483647 - 1},
    {"IntAboveRange", "int", "over", false, 374, 374},
    {"IntHex", "int", "hex", false, 374, 374},
    {"IntTrailingLetters", "int", "trailing", false, 374, 374},
    {"IntPlusMinus", "int", "plusminus", false, 374, 374},
    {"IntEmpty", "int", "empty", false, 374, 374},
    {"IntMinusOnly", "int", "sign", false, 374, 374},
    {"IntPlusOnly", "int", "plussign", false, 374, 374},
    {"IntMinusZero", "int", "minuszero", false, 374, 0},
    {"IntBelowRange", "int", "under", false, 374, 374},
    {"PositionAbc", "CONFIG", "Position", false, 374, 374},
    {"BoolZero", "bool", "zero", true, 1, 0},
    {"BoolOne", "bool", "one", true, 0, 1},
    {"BoolTenKeepsFalse", "bool", "ten", true, 0, 0},
    {"OnlyDuplicateYesKeepsTrue", "CONFIG", "OnlyDuplicate", true, 1, 1},
    {"BoolEmptyKeepsTrue", "bool", "empty", true, 1, 1},
    {"BoolQuotedBlankOneKeepsFalse", "bool", "spaced", true, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Samples, ReadTypedTest, testing::ValuesIn(kTypedCases), test::CaseName());

struct HandEditCase
{
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string from; // the sample's bytes the write replaces; everything else stays
    std::string to;
};

class HandEditedWriteTest : public testing::TestWithParam<HandEditCase>
{};

TEST_P(HandEditedWriteTest, ChangesOnlyItsLine)
{
    const HandEditCase& c = GetParam();
    TempDir dir;
    const std::string path = CopySample(dir, "hand_edited.ini");
    std::string expected = ReadBytes(path);
    const std::size_t at = expected.find(c.from);
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, c.from.size(), c.to);

    IniFile(path).WriteString(c.section, c.key, c.value);
    EXPECT_EQ(ReadBytes(path), expected);
}

const HandEditCase kHandEditCases[] = {
    {"PaddedPathQuotedInPlace", "CONFIG", "vPath", " /srv/p ", "= /srv/old releases\r\n", "= \" /srv/p \"\r\n"},
    {"NewKeyBeforeTrailingComment", "CONFIG", "ListFile", "1", "blue\r\n", "blue\r\nListFile=1\r\n"},
    {"NewSectionAfterUnterminatedEnd", "New", "k", "v", "Shadow=1", "Shadow=1\r\n\r\n[New]\r\nk=v\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Samples, HandEditedWriteTest, testing::ValuesIn(kHandEditCases), test::CaseName());

struct RoundTripCase
{
    const char* name;
    const char* value;
};

class RoundTripTest : public testing::TestWithParam<RoundTripCase>
{};

TEST_P(RoundTripTest, ReadsBackWhatWasWritten)
{
    const std::string value = GetParam().value;
    TempDir dir;
    const IniFile ini(dir / "s.ini");
    ini.WriteString("CONFIG", "vPath", value); // a new key
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), value);
    ini.WriteString("CONFIG", "vPath", "/other");
    ini.WriteString("CONFIG", "vPath", value); // an existing key
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), value);
}

const RoundTripCase kRoundTripCases[] = {
    {"BlanksAtBothEnds", " /srv/spaced folder "},
    {"BlankAtStart", " /srv/x"},
    {"BlankAtEnd", "/srv/x "},
    {"SingleQuoted", "'x'"},
    {"DoubleQuoted", "\"x\""},
    {"TabOnly", "\t"},
    {"CommasQuotesBackslashes", "C:\\a,\"b, c\";d=e"},
    {"InvalidUtf8", "/srv/\xff\xfe"},
};

INSTANTIATE_TEST_SUITE_P(Values, RoundTripTest, testing::ValuesIn(kRoundTripCases), test::CaseName());

// A file saved as UTF-16 is written back as UTF-16 in its own byte order, every other line as it was.
TEST(IniFileWriteTest, KeepsUtf16Files)
{
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        TempDir dir;
        const std::string path = CopySample(dir, bigEndian ? "utf16be.ini" : "utf16le.ini");
        const IniFile ini(path);
        ini.WriteString("CONFIG", "vPath", "/neu/\xC3\xBC");
        ini.WriteString("CONFIG", "ListFile", "1");
        EXPECT_EQ(ReadBytes(path),
                  Utf16(u"\uFEFF[CONFIG]\r\nvPath=/neu/\u00FC\r\nWhiteList=\u00DCn\u00EF,\U0001F600\r\n"
                        u"Position=412\r\nListFile=1\r\n",
                        bigEndian));
        EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), "/neu/\xC3\xBC");
    }
}

} // namespace
} // namespace versweep
