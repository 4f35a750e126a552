#pragma once

#include <QString>
#include <string>

namespace trelk {

// The core's byte strings are Windows-1252; Latin-1 is its closest lossless map for the
// characters the program shows.
inline QString toQt(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace trelk
