#pragma once
// Texts taken from files (a log's fields and names, an image's version bytes) as they may be
// shown on a terminal or in a label: a file must not be able to retitle or clear the terminal,
// ring its bell or break a label's lines, so every control character is written out.

#include <QString>

// The text with each control character (U+0000 to U+001F, DEL, U+0080 to U+009F) written as
// \xHH, e.g. ESC as \x1b; everything else as it is.
QString EscapeControls(const QString& text);

// A piece of a file named in a message: escaped, and cut to its first `maxChars` characters
// followed by "..." when longer, so that a 10 MB field does not become a 10 MB message.
QString ShownPiece(const QString& text, qsizetype maxChars = 64);
