#pragma once

#include <QFile>

// The resident memory of this process in bytes (Linux /proc): "VmRSS" now, "VmHWM" the peak
// since reset().
namespace PeakMemory {
inline qint64 read(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const int at = text.indexOf(field + ':');
    return at < 0 ? -1
                  : text.mid(at + field.size() + 1, 20).simplified().split(' ').value(0).toLongLong() * 1024;
}
inline bool reset() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
} // namespace PeakMemory
