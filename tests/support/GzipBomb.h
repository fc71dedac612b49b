#pragma once

#include <QByteArray>
#include <zlib.h>

// A gzip body that inflates to `inflated` zero bytes (about a thousandth of that on the wire),
// made without ever holding the inflated bytes.
inline QByteArray gzipBomb(qint64 inflated) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    static const QByteArray zeros(1 << 20, '\0');
    QByteArray out(int(inflated / 500 + 4096), '\0');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    for (qint64 left = inflated;; left -= zeros.size()) {
        const bool last = left <= zeros.size();
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        z.avail_in = uInt(last ? left : zeros.size());
        deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (last)
            break;
    }
    out.truncate(int(z.total_out));
    deflateEnd(&z);
    return out;
}
