// Feeds arbitrary bytes to the translation reply reader as a reply body.
#include "result/TranslationService.h"

#include <QString>
#include <QTextCodec>
#include <cstdint>

static void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (qInstallMessageHandler(silent), true);
    Q_UNUSED(quiet);
    const QString body = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const std::optional<QString> segment = TranslationService::firstSegment(body);
    if (!segment)
        return 0;
    if (segment->size() > body.size())
        __builtin_trap();
    const QString text = TranslationService::decodeEscapes(*segment);
    // Decoding never grows the text, and never makes a zero (which would cut the typed bytes)
    // out of an escape.
    if (text.size() > segment->size() || text.count(QChar(0)) > segment->count(QChar(0)))
        __builtin_trap();
    if (QTextCodec* gbk = QTextCodec::codecForName("GBK"))
        gbk->fromUnicode(text);
    return 0;
}
