#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

namespace voidline {

inline constexpr int ChannelCount = 5;

struct ChatChannel {
    int number; // 1..5, selected with F1..F5
    const char* name;
    QColor colour;
};

// Channel 1..5; anything else gives channel 1.
const ChatChannel& Channel(int number);

// The game's chat speaks Windows-1252. Characters without a byte there give '?' on encoding.
bool IsWindows1252(QChar c);
QByteArray ToWindows1252(const QString& text);

} // namespace voidline
