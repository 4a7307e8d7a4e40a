// Writing profiles: what the writer writes the reader reads back to the same configuration,
// for the built-in one, the sample and configurations of any values; an edited profile keeps
// the lines the user did not change.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "common/Errors.h"
#include "image/Checksum.h"
#include "image/EfiOperator.h"
#include "support/ImageTestUtil.h"
#include "image/ProfileFile.h"
#include "image/ProfileKeys.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The configuration part of an image object after "&Открыть профайл" of `path`.
TModelConfig Opened(const QString& path) {
  TEFIOperator op(true);
  op.LoadProfile(path);
  return op;
}

// Every key a random value of its own width, any sign; a random checksum kind.
TModelConfig RandomConfig(std::mt19937& rng) {
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  TModelConfig c;
  for (const TProfileKey& key : ProfileKeys()) key.set(c, any(rng));
  c.fCRCKind = static_cast<TChecksumKind>(rng() % 6);
  c.ComputeDerivedSizes();
  return c;
}

}  // namespace

TEST(ProfileWrite, WrittenProfilesReadBackToTheSameConfiguration) {
  QTemporaryDir dir;
  const QString path = dir.filePath("written.prf");
  TEFIOperator builtIn(true);
  builtIn.LoadDefaultConfig();
  SaveProfile(builtIn, path);
  EXPECT_EQ(Opened(path), static_cast<const TModelConfig&>(builtIn));
  // A fresh file holds every key (the built-in values are not the profile defaults), offsets
  // in hexadecimal, lines ending in CR LF.
  const QByteArray text = ReadAll(path);
  EXPECT_TRUE(text.startsWith("[config]\r\nfVersion=2\r\n"));
  EXPECT_TRUE(text.contains("\r\nfStartMainFuelTableAddress_Lo=0x70FC\r\n"));
  EXPECT_TRUE(text.contains("\r\nfFuelXXMatrixDim1=3\r\n"));
  // The section line, every key, and the checksum kind the built-in layout names.
  EXPECT_TRUE(
      text.endsWith("\r\nCRCKind=" + ChecksumKindName(builtIn.fCRCKind).toLatin1() + "\r\n"));
  EXPECT_EQ(text.count("\r\n"), static_cast<qsizetype>(ProfileKeys().size()) + 2);

  const TModelConfig sample = Opened(SourceDir() + "/data/sample.prf");
  const QString copy = dir.filePath("sample-copy.prf");
  SaveProfile(sample, copy);
  EXPECT_EQ(Opened(copy), sample);

  std::mt19937 rng(31);
  for (int round = 0; round < 200; ++round) {
    const TModelConfig c = RandomConfig(rng);
    const QString file = dir.filePath(QStringLiteral("random%1.prf").arg(round % 3));
    SaveProfile(c, file);
    ASSERT_EQ(Opened(file), c) << "round " << round;
  }
}

TEST(ProfileWrite, AnEditedProfileKeepsTheLinesTheUserDidNotChange) {
  QTemporaryDir dir;
  const QString path = dir.filePath("user.prf");
  const QByteArray original =
      "; my unit\r\n[other]\r\nkey=1\r\n[Config]\r\nfVersion=1\r\nfMaxRPMAddress1=$42DD\r\n"
      "fStartMainFuelTableAddress_Lo = 20918\r\nCRCKind=auto\r\n";
  WriteAll(path, original);
  TModelConfig c = Opened(path);
  SaveProfile(c, path);
  EXPECT_EQ(ReadAll(path), original);

  c.fStartMainFuelTableAddress_Lo = 0x5300;
  c.fMAFLength = 128;
  c.fCRCKind = TChecksumKind::Sum16LE;
  SaveProfile(c, path);
  const QByteArray edited = ReadAll(path);
  EXPECT_TRUE(
      edited.startsWith("; my unit\r\n[other]\r\nkey=1\r\n[Config]\r\nfVersion=1\r\n"
                        "fMaxRPMAddress1=$42DD\r\n"
                        "fStartMainFuelTableAddress_Lo=0x5300\r\nCRCKind=sum16le\r\n"))
      << edited.toStdString();
  // A key the file did not have is added only where its default does not give the value.
  EXPECT_TRUE(edited.contains("\r\nfMAFLength=128\r\n"));
  EXPECT_FALSE(edited.contains("fFuelMainMatrixDim1_Lo"));
  EXPECT_EQ(Opened(path), c);
}

TEST(ProfileWrite, AProfileTheReaderWouldReadOtherwiseIsWrittenAnew) {
  QTemporaryDir dir;
  const QString path = dir.filePath("twice.prf");
  // The reader takes the first section "config", the writer would change the last.
  WriteAll(path, "[config]\r\nfVersion=1\r\n[config]\r\nfVersion=1\r\n");
  TModelConfig c = Opened(path);
  c.fVersion = 2;
  c.ComputeDerivedSizes();
  SaveProfile(c, path);
  EXPECT_EQ(Opened(path), c);
  EXPECT_EQ(ReadAll(path).count("[config]"), 1);
}

TEST(ProfileWrite, AFileThatCannotBeWrittenIsAnErrorAndNoFileAppears) {
  QTemporaryDir dir;
  TModelConfig c;
  EXPECT_THROW(SaveProfile(c, dir.filePath("no/such/folder/p.prf")), EInOutError);
  EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/p.prf")));
}

TEST(ProfileKeys, EveryKeyIsFoundByItsNameInAnyCaseAndOffsetsShowInHex) {
  for (const TProfileKey& key : ProfileKeys()) {
    EXPECT_EQ(FindProfileKey(QString::fromLatin1(key.name).toUpper()), &key);
    EXPECT_FALSE(ProfileKeyMeaning(key).isEmpty()) << key.name;
  }
  EXPECT_EQ(FindProfileKey(u"fFuelMainRows"), nullptr);
  const TProfileKey* start = FindProfileKey(u"fStartMAFAddress");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(ProfileValueText(*start, 0x6BFC), "0x6BFC");
  EXPECT_EQ(ProfileValueText(*start, -4), "-4");
  EXPECT_EQ(ProfileValueText(*FindProfileKey(u"fMAFLength"), 256), "256");
}
