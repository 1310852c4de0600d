#include "transport/network_reason.h"

#include "shared/texts.h"

namespace bl {

QString network_reason(QAbstractSocket::SocketError error, const QString &qt_words) {
    namespace tx = texts::transport;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return tx::kRefused;
    case QAbstractSocket::HostNotFoundError: return tx::kUnknownHost;
    case QAbstractSocket::SocketTimeoutError: return tx::kNoAnswer;
    case QAbstractSocket::NetworkError: return tx::kNoNetwork;
    case QAbstractSocket::RemoteHostClosedError: return tx::kPeerClosed;
    case QAbstractSocket::AddressInUseError: return tx::kAddressInUse;
    case QAbstractSocket::SocketAddressNotAvailableError: return tx::kAddressNotHere;
    case QAbstractSocket::SocketAccessError: return texts::system::kNoPermission;
    case QAbstractSocket::SocketResourceError: return tx::kNoResources;
    default: return qt_words;
    }
}

} // namespace bl
