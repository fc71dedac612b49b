#pragma once

#include <QFile>

// The resident memory of this process (Linux /proc): now, and the peak since reset(), in bytes.
namespace PeakMemory {
inline qint64 field(const QByteArray& name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}
inline bool reset() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
inline qint64 now() {
    return field("VmRSS");
}
inline qint64 peak() {
    return field("VmHWM");
}
} // namespace PeakMemory
