#include "link/OpenFailure.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

bool devicePermissionDenied(const QString& device) {
#ifdef Q_OS_UNIX
    if (device.isEmpty() || !QFileInfo::exists(device))
        return false;
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    Q_UNUSED(device);
    return false;
#endif
}

QString openFailureReason(int port, const QString& device, const QString& portError,
                          bool permissionDenied) {
    if (device.isEmpty()) {
        return QStringLiteral("Com%1 has no device: this machine has no serial port %1 (set "
                              "QUORVEL_COM%1 to the device to use)")
            .arg(port);
    }
    QString reason = portError;
    const QString named = device + QStringLiteral(": ");
    if (reason.startsWith(named))
        reason = reason.mid(named.size());
    if (reason.isEmpty())
        reason = QStringLiteral("the system gave no reason");
    QString line = device + QStringLiteral(": ") + reason;
    if (permissionDenied) {
        line += QStringLiteral(" - this user may not use it: add the user to the dialout group "
                               "(sudo usermod -aG dialout $USER) and log in again");
    }
    return line;
}
