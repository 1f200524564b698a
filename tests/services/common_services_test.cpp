#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "services/caption_text.h"
#include "services/command_line.h"
#include "services/document_opener.h"
#include "services/fixed_text.h"
#include "services/interfejs.h"
#include "services/message_box.h"
#include "services/mirroring.h"
#include "services/os_check.h"
#include "services/program_files.h"
#include "services/program_version.h"
#include "services/scripted_operator.h"
#include "services/size_text.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::TempFolder;

TEST(MessageBox, TitleFollowsCaptionThenKind) {
  EXPECT_EQ(MessageBoxTitle(false, ""), "Information");
  EXPECT_EQ(MessageBoxTitle(true, ""), "Error");
  EXPECT_EQ(MessageBoxTitle(true, "Configuration error"), "Configuration error");
  EXPECT_EQ(MessageBoxTitle(false, "-1"), "-1");
}

TEST(ProgramVersion, PartsFollowOnRequest) {
  const VersionNumbers version{3, 12, 5, 41};
  EXPECT_EQ(VersionText(version, false, false), "3.12");
  EXPECT_EQ(VersionText(version, true, false), "3.12.5");
  EXPECT_EQ(VersionText(version, true, true), "3.12.5.41");
  EXPECT_EQ(VersionText(version, false, true), "3.12.41");
}

TEST(OsCheck, DescribesDistributionAndKernel) {
  TempFolder folder;
  const std::string os_release = folder.Write(
      "os-release", "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
  const OsCheckResult result = CheckOperatingSystem(os_release, {"Linux", "6.1.0-18-amd64"});
  EXPECT_TRUE(result.supported);
  EXPECT_EQ(result.description, "Debian GNU/Linux 12 (bookworm) [ver. 6.1]\r\nLinux 6.1.0-18-amd64");

  const std::string plain = folder.Write("plain", "ID=x\r\nNAME='Tiny \"OS\"'\r\n");
  EXPECT_EQ(CheckOperatingSystem(plain, {"Linux", "5.15"}).description, "Tiny \"OS\" [ver. 5.15]\r\nLinux 5.15");
  // Without the file, or with an odd release, the check still reports a supported system.
  const OsCheckResult bare = CheckOperatingSystem(folder.folder() + "missing", {"Linux", "rc1"});
  EXPECT_TRUE(bare.supported);
  EXPECT_EQ(bare.description, "Linux [ver. rc1]\r\nLinux rc1");
  EXPECT_TRUE(CheckThisOperatingSystem().supported);
}

TEST(OsCheck, ReleaseValuesAreUnquoted) {
  const std::string text = "PRETTY_NAME_X=no\nPRETTY_NAME=\"A \\\"quoted\\\" \\\\name\"\nEMPTY=\n";
  EXPECT_EQ(OsReleaseValue(text, "PRETTY_NAME"), "A \"quoted\" \\name");
  EXPECT_EQ(OsReleaseValue(text, "EMPTY"), "");
  EXPECT_EQ(OsReleaseValue(text, "NAME"), "");
  EXPECT_EQ(OsReleaseValue("X=\"", "X"), "\"");
}

TEST(CommandLine, SwitchesIgnoreCase) {
  const std::vector<std::string> arguments = {"test", "T1Osobno"};
  EXPECT_TRUE(CommandLineSwitch(arguments, "t1osobno"));
  EXPECT_TRUE(CommandLineSwitch(arguments, "TEST"));
  EXPECT_FALSE(CommandLineSwitch(arguments, "cb1separately"));
  EXPECT_FALSE(CommandLineSwitch(arguments, "tes"));
}

TEST(CommandLine, DealerCodeFromTheLastDealerArgument) {
  EXPECT_EQ(DealerCode("", {"d:abc", "D:XY"}), "XY");
  EXPECT_EQ(DealerCode("", {"D:XY", "d:abc"}), "ABC");
  EXPECT_EQ(DealerCode("", {"d:abc", "D:"}), "ABC");  // "D:" alone is no dealer code
  EXPECT_EQ(DealerCode("", {"D:"}), "");
  EXPECT_EQ(DealerCode("", {"xD:AB", "pl"}), "");
  EXPECT_EQ(DealerCode("ORVELT", {"D:XY"}), "ORVELT");
  EXPECT_EQ(DealerCode("", {"d:żak"}), "ŻAK");
}

TEST(ProgramFiles, ManualAndCatalogueChoices) {
  TempFolder folder;
  const std::string f = folder.folder();
  // Generic documents: the language's, else the US path even when it is missing.
  EXPECT_EQ(ManualFile(f, "PL", "").path, f + "Varnholt_manual_US.pdf");
  EXPECT_FALSE(ManualFile(f, "PL", "QUELLMAR").exists);
  folder.Write("Varnholt_manual_US.pdf", "%PDF");
  EXPECT_TRUE(ManualFile(f, "PL", "").exists);
  folder.Write("Varnholt_manual_PL.pdf", "%PDF");
  EXPECT_EQ(ManualFile(f, "PL", "QUELLMAR").path, f + "Varnholt_manual_PL.pdf");
  // A dealer's documents carry its code; without them there is none at all.
  EXPECT_EQ(ManualFile(f, "PL", "ORVELT").path, "");
  EXPECT_FALSE(ManualFile(f, "PL", "ORVELT").exists);
  folder.Write("Varnholt_manual_US_ORVELT.pdf", "%PDF");
  EXPECT_EQ(ManualFile(f, "PL", "ORVELT").path, f + "Varnholt_manual_US_ORVELT.pdf");

  folder.Write("Catalogue_DE.pdf", "%PDF");
  EXPECT_EQ(CatalogueFile(f, "DE", "").path, f + "Catalogue_DE.pdf");
  EXPECT_FALSE(CatalogueFile(f, "DE", "XY").exists);
  EXPECT_FALSE(DealerCatalogue(f, "DE", "").exists);
  folder.Write("Catalogue_DE_QUELLMAR.pdf", "%PDF");
  EXPECT_TRUE(DealerCatalogue(f, "DE", "QUELLMAR").exists);
  EXPECT_EQ(CatalogueFile(f, "DE", "QUELLMAR").path, f + "Catalogue_DE.pdf");
}

TEST(ProgramFiles, SamplesFolderFallsBackToSamples) {
  TempFolder folder;
  EXPECT_FALSE(SamplesFolder(folder.folder(), "PL").exists);
  folder.MakeFolder("Samples");
  EXPECT_EQ(SamplesFolder(folder.folder(), "PL").path, folder.folder() + "Samples");
  EXPECT_TRUE(SamplesFolder(folder.folder(), "PL").exists);
  folder.MakeFolder("Projekty probne");
  EXPECT_EQ(SamplesFolder(folder.folder(), "PL").path, folder.folder() + "Projekty probne");
  EXPECT_EQ(SamplesFolder(folder.folder(), "DE").path, folder.folder() + "Samples");
}

TEST(CaptionText, AcceleratorMarksGoAndADoubledMarkStaysOne) {
  EXPECT_EQ(WithoutMnemonics("&Start"), "Start");
  EXPECT_EQ(WithoutMnemonics("S&top"), "Stop");
  EXPECT_EQ(WithoutMnemonics("Cut && run"), "Cut & run");
  EXPECT_EQ(WithoutMnemonics("&&&Info"), "&Info");
  EXPECT_EQ(WithoutMnemonics("Info&"), "Info") << "a mark with nothing to mark";
}

TEST(FixedText, CopiesAtMostTheBufferAndZeroesTheRest) {
  std::array<char16_t, 6> buffer;
  buffer.fill(u'#');
  FixedText(u"abc", buffer);
  EXPECT_EQ(std::u16string(buffer.begin(), buffer.end()), std::u16string(u"abc\0\0\0", 6));
  EXPECT_EQ(FixedTextValue(buffer), u"abc");
  FixedText(u"abcdefgh", buffer);
  EXPECT_EQ(std::u16string(buffer.begin(), buffer.end()), u"abcdef");
  EXPECT_EQ(FixedTextValue(buffer), u"abcdef");
  // A character outside the basic plane is never cut in half.
  FixedText(u"abcde\U0001F600", buffer);
  EXPECT_EQ(FixedTextValue(buffer), u"abcde");
  FixedText(u"abcd\U0001F600", buffer);
  EXPECT_EQ(FixedTextValue(buffer), u"abcd\U0001F600");
}

TEST(SizeText, UnitsAndRounding) {
  EXPECT_EQ(SizeText(0), "0b");
  EXPECT_EQ(SizeText(1023), "1023b");
  EXPECT_EQ(SizeText(1024), "1KB");
  EXPECT_EQ(SizeText(1536), "2KB");
  EXPECT_EQ(SizeText(2560), "2KB");  // 2.5 rounds to the even neighbour
  EXPECT_EQ(SizeText(1048575), "1024KB");
  EXPECT_EQ(SizeText(3 * 1048576), "3MB");
  EXPECT_EQ(SizeText(1048576 * 5 / 2), "2MB");
  TempFolder folder;
  EXPECT_EQ(FileSizeText(folder.Write("small", std::string(1536, 'x'))), "2KB");
  EXPECT_EQ(FileSizeText(folder.folder() + "missing"), std::nullopt);
  EXPECT_EQ(FileSizeText(folder.folder()), std::nullopt);
}

TEST(Mirroring, RowsAndMenus) {
  EXPECT_EQ(MirroredLeft(200, 10, 30), 160);
  EXPECT_EQ(MirroredLeft(200, MirroredLeft(200, 10, 30), 30), 10);
  EXPECT_EQ(MirroredLeft(-2147483647, 2147483647, 2147483647), std::numeric_limits<int>::min());
  EXPECT_EQ(MirroredMenuOrder(3), (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(MirroredMenuOrder(0).empty());
}

class RecordingOpener final : public DocumentOpener {
 public:
  explicit RecordingOpener(int result) : result_(result) {}
  int OpenDocument(const std::string& target) override {
    opened.push_back(target);
    return result_;
  }
  std::vector<std::string> opened;

 private:
  int result_;
};

TEST(DocumentOpener, ReportsMissingDocumentsAndFailedViewers) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  TempFolder folder;
  folder.Write("Varnholt_US.xml", R"(<interface name="Varnholt" version="1.0"><Main_window>
      <brakAcrobatReadera str="no viewer"/><brakPlikuInstrukcji str="no manual"/>
      <brakPlikuKatalogu str="no catalogue"/><SampleNotInstaled str="no samples"/></Main_window></interface>)");
  const tInterfejs texts(InterfaceSetup{folder.folder(), {}, 1, "1.0"});
  ASSERT_TRUE(texts.loaded());

  RecordingOpener works(33);
  EXPECT_TRUE(OpenManual(works, {true, "/m.pdf"}, texts));
  EXPECT_EQ(works.opened, std::vector<std::string>{"/m.pdf"});
  EXPECT_TRUE(op.messages().empty());

  RecordingOpener fails(32);
  EXPECT_FALSE(OpenCatalogue(fails, {true, "/c.pdf"}, texts));
  EXPECT_FALSE(OpenManual(fails, {false, "/US.pdf"}, texts));
  EXPECT_FALSE(OpenCatalogue(fails, {false, ""}, texts));
  EXPECT_FALSE(SamplesAvailable({false, "/Samples"}, texts));
  EXPECT_TRUE(SamplesAvailable({true, "/Samples"}, texts));
  EXPECT_EQ(fails.opened.size(), 1u);
  ASSERT_EQ(op.messages().size(), 4u);
  EXPECT_EQ(op.messages()[0].text, "no viewer");
  EXPECT_EQ(op.messages()[1].text, "no manual\r\n/US.pdf");
  EXPECT_EQ(op.messages()[2].text, "no catalogue\r\n");
  EXPECT_EQ(op.messages()[3].text, "no samples");
  EXPECT_TRUE(op.messages()[2].is_error);
  EXPECT_FALSE(op.messages()[3].is_error);
}

}  // namespace
}  // namespace varnholt
