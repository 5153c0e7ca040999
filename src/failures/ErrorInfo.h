#pragma once

#include <QString>
#include <QtGlobal>

namespace stowline {

// The details of one failure, as the error reporter writes them into the event log.
struct ErrorInfo {
    qint32 Number = 0;
    QString Description;
    QString Source;
};

} // namespace stowline
