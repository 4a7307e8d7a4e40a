#include <gtest/gtest.h>

#include <QString>

#include "common/Errors.h"
#include "common/ShownText.h"

// Every control character a file may carry is written out; letters of any script are not.
TEST(ShownText, ControlCharactersAreWrittenOutAndOtherTextKept) {
  EXPECT_EQ(EscapeControls(QString::fromUtf8("\x1b]0;t\x07 \t\r\n\x7f")),
            QStringLiteral("\\x1b]0;t\\x07 \\x09\\x0d\\x0a\\x7f"));
  EXPECT_EQ(EscapeControls(QString(QChar(0x9b)) + QChar(0x80) + QChar(0xa0)),
            QStringLiteral("\\x9b\\x80") + QChar(0xa0));
  EXPECT_EQ(EscapeControls(QStringLiteral("Обороты 1000 \\x1b")),
            QStringLiteral("Обороты 1000 \\x1b"));
  EXPECT_EQ(EscapeControls(QString(QChar(0))), QStringLiteral("\\x00"));
}

// A 10 MB field that is no number gives a message of a line, not of 10 MB.
TEST(ShownText, LongPiecesAreCutInMessages) {
  EXPECT_EQ(ShownPiece(QString(64, 'x')), QString(64, 'x'));
  EXPECT_EQ(ShownPiece(QString(65, 'x')), QString(64, 'x') + "...");
  const EConvertError e = EConvertError::InvalidFloat(QString(10 << 20, '3') + "\x1b");
  EXPECT_EQ(std::string(e.what()),
            "'" + std::string(64, '3') + "...' is not a valid floating point value");
  EXPECT_STREQ(EConvertError::InvalidInteger(QStringLiteral("\x07")).what(),
               "'\\x07' is not a valid integer value");
}
