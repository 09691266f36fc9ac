#pragma once

#include <QByteArray>
#include <QString>

namespace ovlix {

// The program's own files are small: a longer one is read only this far, never
// whole, so that a huge file cannot take the memory.
inline constexpr qint64 kMaxReadFileSize = 1024 * 1024;

// The program's files are plain text in the system's 8-bit code page.
QByteArray toFileText(const QString& text);
QString fromFileText(const QByteArray& bytes);
// Whether the code page holds every character of `text`: one that it cannot
// would reach a file or the device as "?" or a look-alike.
bool fitsCodePage(const QString& text);

// Outcome of replacing a file: either it was replaced whole, or the previous
// file is untouched and error says why.
struct SaveResult {
    bool ok = false;
    QString error;
};

// Replaces the file atomically: a failed or short write, a full disk or a crash
// leaves the previous file whole.
SaveResult saveFileAtomically(const QString& path, const QByteArray& content);

} // namespace ovlix
