#include "config/program_settings.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "config/utf16.h"
#include "config_test_support.h"

namespace varnholt {
namespace {

uint32_t U32At(const std::array<uint8_t, kProgramSettingsSize>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(ProgramSettings, DefaultRecordByteForByte) {
  const auto bytes = EncodeProgramSettings(DefaultProgramSettings("/opt/v/Varnholt.qcc"));
  std::vector<uint8_t> expected(kProgramSettingsSize, 0);
  const auto put32 = [&](size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) expected[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(320, 1);
  put32(324, 1);
  expected[328] = 1;
  const std::string path = "/opt/v/Varnholt.qcc";
  for (size_t i = 0; i < path.size(); ++i) expected[334 + 2 * i] = static_cast<uint8_t>(path[i]);
  put32(844, 1);
  // 1.0 as a little-endian IEEE double
  expected[854] = 0xF0;
  expected[855] = 0x3F;
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(ProgramSettings, FieldsSitAtTheirOffsetsAndTextsAreCut) {
  ProgramSettings settings;
  settings.LastOpenFolder = std::u16string(100, u'a');
  settings.LastSaveFolder = u"\u0141\u00f3d\u017a";
  settings.SaveFilterIndex = -2;
  settings.ConfigFilePath = std::u16string(300, u'p');
  settings.OpenFilterIndex = 0x01020304;
  settings.reserved329 = {9, 8, 7, 6};
  settings.reserved860 = {1, 2, 3, 4};
  const auto bytes = EncodeProgramSettings(settings);
  EXPECT_EQ(bytes[2 * 78], 'a');
  EXPECT_EQ(bytes[2 * 79], 0);  // at most 79 units of a folder
  EXPECT_EQ(bytes[160], 0x41);  // U+0141 little-endian
  EXPECT_EQ(bytes[161], 0x01);
  EXPECT_EQ(U32At(bytes, 324), 0xFFFFFFFEu);
  EXPECT_EQ(bytes[329], 9);
  EXPECT_EQ(bytes[332], 6);
  EXPECT_EQ(bytes[334 + 2 * 253], 'p');
  EXPECT_EQ(bytes[334 + 2 * 254], 0);  // at most 254 units of the path
  EXPECT_EQ(U32At(bytes, 844), 0x01020304u);
  EXPECT_EQ(bytes[860], 1);
  EXPECT_EQ(bytes[863], 4);

  const auto back = DecodeProgramSettings(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->LastOpenFolder, std::u16string(79, u'a'));
  EXPECT_EQ(back->LastSaveFolder, settings.LastSaveFolder);
  EXPECT_EQ(back->ConfigFilePath, std::u16string(254, u'p'));
  EXPECT_EQ(back->SaveFilterIndex, -2);
  EXPECT_EQ(back->OpenFilterIndex, 0x01020304);
  EXPECT_EQ(back->reserved860, settings.reserved860);
}

TEST(ProgramSettings, ACutNeverSplitsASurrogatePair) {
  std::u16string path(253, u'x');
  path += u"\U0001F600";  // units 253 and 254
  EXPECT_EQ(FirstUnits(path, kConfigPathUnits), std::u16string(253, u'x'));
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600\u00e9"), "\xF0\x9F\x98\x80\xC3\xA9");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80\xC3\xA9"), u"\U0001F600\u00e9");
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(ProgramSettings, ShortOrGarbageBytesDecodeSafely) {
  std::mt19937 random(7);
  for (size_t size : {size_t{0}, size_t{1}, size_t{863}}) {
    EXPECT_FALSE(DecodeProgramSettings(std::vector<uint8_t>(size, 0xAB))) << size;
  }
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes(kProgramSettingsSize + static_cast<size_t>(round % 3));
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    const auto settings = DecodeProgramSettings(bytes);
    ASSERT_TRUE(settings);
    EXPECT_LE(settings->LastOpenFolder.size(), 80u);
    EXPECT_LE(settings->ConfigFilePath.size(), 255u);
    // Every field except the text after a full folder field is kept on rewriting.
    const auto again = DecodeProgramSettings(EncodeProgramSettings(*settings));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->SaveFilterIndex, settings->SaveFilterIndex);
    EXPECT_EQ(again->reserved329, settings->reserved329);
    EXPECT_EQ(std::bit_cast<uint64_t>(again->reserved848), std::bit_cast<uint64_t>(settings->reserved848));
  }
}

class ProgramSettingsFile : public TempFolderTest {};

TEST_F(ProgramSettingsFile, MissingOrShortFileIsReplacedByTheDefaults) {
  const std::string defaults_path = PathOf("Varnholt.qcc");
  const ProgramSettings expected = DefaultProgramSettings(defaults_path);
  const std::string path = PathOf("Varnholt.vhc");
  EXPECT_EQ(ReadProgramSettingsFile(path, defaults_path), expected);
  EXPECT_EQ(Read(path).size(), kProgramSettingsSize);

  Write("Varnholt.vhc", std::string(500, 'z'));
  EXPECT_EQ(ReadProgramSettingsFile(path, defaults_path), expected);
  EXPECT_EQ(Read(path).size(), kProgramSettingsSize);
}

TEST_F(ProgramSettingsFile, WrittenRecordReadsBack) {
  ProgramSettings settings = DefaultProgramSettings("/x/Varnholt.qcc");
  settings.LastOpenFolder = u"/home/op/rysunki";
  settings.OpenFilterIndex = 2;
  settings.reserved848 = -3.5;
  const std::string path = PathOf("Varnholt.vhc");
  WriteProgramSettingsFile(path, settings);
  EXPECT_EQ(ReadProgramSettingsFile(path, "/unused"), settings);
  // A longer file keeps its first record.
  Write("Varnholt.vhc", Read(path) + "trailing");
  EXPECT_EQ(ReadProgramSettingsFile(path, "/unused"), settings);
}

}  // namespace
}  // namespace varnholt
