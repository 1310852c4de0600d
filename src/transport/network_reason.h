#pragma once

#include <QAbstractSocket>
#include <QString>

namespace bl {

// Why a connection or a listening socket failed, in German; Qt's own words
// only for what the user will hardly meet.
QString network_reason(QAbstractSocket::SocketError error, const QString &qt_words);

} // namespace bl
