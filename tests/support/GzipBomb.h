#pragma once

#include <QByteArray>
#include <zlib.h>

// A gzip body that inflates to `inflated` zero bytes (about a thousandth of that on the wire),
// made without ever holding the inflated bytes.
inline QByteArray gzipBomb(qint64 inflated) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    static const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    char buffer[1 << 14];
    for (qint64 left = inflated;;) {
        const qint64 now = qMin<qint64>(left, zeros.size());
        left -= now;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        z.avail_in = uInt(now);
        const int flush = left > 0 ? Z_NO_FLUSH : Z_FINISH;
        int result = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            result = deflate(&z, flush);
            out.append(buffer, int(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
        if (result == Z_STREAM_END || flush == Z_FINISH)
            break;
    }
    deflateEnd(&z);
    return out;
}
