#include "result/TranslationService.h"

#include "app/ServicesConfig.h"

#include <QCoreApplication>
#include <QUrl>
#include <QtDebug>

namespace {

struct Row {
    const char* code;
    const char* name;
};

const Row kSources[] = {
    {"zh", QT_TRANSLATE_NOOP("TranslationService", "中文")},
    {"en", QT_TRANSLATE_NOOP("TranslationService", "英语")},
    {"yue", QT_TRANSLATE_NOOP("TranslationService", "粤语")},
};

const Row kTargets[] = {
    {"zh", QT_TRANSLATE_NOOP("TranslationService", "中文")},
    {"en", QT_TRANSLATE_NOOP("TranslationService", "英语")},
    {"yue", QT_TRANSLATE_NOOP("TranslationService", "粤语")},
    {"wyw", QT_TRANSLATE_NOOP("TranslationService", "文言文")},
    {"jp", QT_TRANSLATE_NOOP("TranslationService", "日语")},
    {"fra", QT_TRANSLATE_NOOP("TranslationService", "法语")},
    {"spa", QT_TRANSLATE_NOOP("TranslationService", "西班牙语")},
    {"ru", QT_TRANSLATE_NOOP("TranslationService", "俄语")},
    {"pt", QT_TRANSLATE_NOOP("TranslationService", "葡萄牙语")},
    {"de", QT_TRANSLATE_NOOP("TranslationService", "德语")},
    {"it", QT_TRANSLATE_NOOP("TranslationService", "意大利语")},
    {"el", QT_TRANSLATE_NOOP("TranslationService", "希腊语")},
    {"nl", QT_TRANSLATE_NOOP("TranslationService", "荷兰语")},
    {"pl", QT_TRANSLATE_NOOP("TranslationService", "波兰语")},
    {"bul", QT_TRANSLATE_NOOP("TranslationService", "保加利亚语")},
    {"est", QT_TRANSLATE_NOOP("TranslationService", "爱沙尼亚语")},
    {"dan", QT_TRANSLATE_NOOP("TranslationService", "丹麦语")},
    {"fin", QT_TRANSLATE_NOOP("TranslationService", "芬兰语")},
    {"cs", QT_TRANSLATE_NOOP("TranslationService", "捷克语")},
    {"rom", QT_TRANSLATE_NOOP("TranslationService", "罗马尼亚语")},
    {"slo", QT_TRANSLATE_NOOP("TranslationService", "斯洛文尼亚语")},
    {"swe", QT_TRANSLATE_NOOP("TranslationService", "瑞典语")},
    {"hu", QT_TRANSLATE_NOOP("TranslationService", "匈牙利语")},
    {"cht", QT_TRANSLATE_NOOP("TranslationService", "中文（繁体）")},
    {"vie", QT_TRANSLATE_NOOP("TranslationService", "越南语")},
};

const int kSourceCount = int(sizeof(kSources) / sizeof(kSources[0]));
const int kTargetCount = int(sizeof(kTargets) / sizeof(kTargets[0]));

const QLatin1String kMarker("\"dst\":\"");

int hexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The code unit of "\uXXXX" at position i of s, or -1 when there is no complete escape there.
int escapedUnit(const QString& s, int i) {
    if (i + 6 > s.size() || s.at(i) != QLatin1Char('\\') || s.at(i + 1) != QLatin1Char('u'))
        return -1;
    int value = 0;
    for (int k = 2; k < 6; ++k) {
        const int d = hexValue(s.at(i + k));
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

} // namespace

TranslationService::Language TranslationService::source(int value) {
    if (value >= 0 && value < kSourceCount)
        return {QString::fromUtf8(kSources[value].code),
                QCoreApplication::translate("TranslationService", kSources[value].name)};
    return {QStringLiteral("en"), QString()};
}

TranslationService::Language TranslationService::target(int value) {
    if (value >= 0 && value < kTargetCount)
        return {QString::fromUtf8(kTargets[value].code),
                QCoreApplication::translate("TranslationService", kTargets[value].name)};
    return {QStringLiteral("zh"), QString()};
}

int TranslationService::targetCount() {
    return kTargetCount;
}

TranslationService::Settings TranslationService::settings() {
    const ServicesConfig& config = ServicesConfig::instance();
    Settings s;
    s.host = config.text(QStringLiteral("translation/host"), QStringLiteral("api.fanyi.baidu.com"));
    s.appId = config.text(QStringLiteral("translation/appid"), QStringLiteral("48120937561023847"));
    s.salt = config.text(QStringLiteral("translation/salt"), QStringLiteral("6039185274"));
    s.key = config.text(QStringLiteral("translation/key"), QStringLiteral("Wm3xQr8TzLb2NvK_Yp6c"));
    s.timeoutMs = config.number(QStringLiteral("translation/timeout_ms"), 10000);
    if (s.timeoutMs <= 0) {
        qWarning("Translation , timeout_ms must be positive, using 10000 !");
        s.timeoutMs = 10000;
    }
    return s;
}

QString TranslationService::signatureInput(const Settings& s, const QString& query) {
    return s.appId + query + s.salt + s.key;
}

QString TranslationService::requestUrl(const Settings& s, const QString& query, const QString& from,
                                       const QString& to, const QString& sign) {
    return QStringLiteral("http://") + s.host + QStringLiteral("/api/trans/vip/translate") +
           QStringLiteral("?q=") + QString::fromLatin1(QUrl::toPercentEncoding(query)) +
           QStringLiteral("&from=") + from + QStringLiteral("&to=") + to + QStringLiteral("&appid=") +
           s.appId + QStringLiteral("&salt=") + s.salt + QStringLiteral("&sign=") + sign;
}

std::optional<QString> TranslationService::firstSegment(const QString& body) {
    const int marker = body.indexOf(kMarker);
    if (marker < 0)
        return std::nullopt;
    const int begin = marker + kMarker.size();
    // The segment ends at the first quote that is not escaped.
    for (int i = begin; i < body.size(); ++i) {
        if (body.at(i) == QLatin1Char('\\'))
            ++i;
        else if (body.at(i) == QLatin1Char('"'))
            return body.mid(begin, i - begin);
    }
    return std::nullopt;
}

QString TranslationService::decodeEscapes(const QString& segment) {
    QString out;
    out.reserve(segment.size());
    int i = 0;
    while (i < segment.size()) {
        const QChar c = segment.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= segment.size()) {
            out += c;
            ++i;
            continue;
        }
        const QChar next = segment.at(i + 1);
        if (next == QLatin1Char('"') || next == QLatin1Char('\\') || next == QLatin1Char('/')) {
            out += next;
            i += 2;
            continue;
        }
        if (next != QLatin1Char('u')) {
            // Other escapes are kept as the service wrote them.
            out += c;
            out += next;
            i += 2;
            continue;
        }
        const int unit = escapedUnit(segment, i);
        if (unit < 0) {
            qWarning("Translation , bad unicode escape in reply !");
            out += c;
            ++i;
            continue;
        }
        qDebug() << QStringLiteral("strHex1 = ") + segment.mid(i + 2, 4);
        qDebug() << unit;
        i += 6;
        if (QChar::isHighSurrogate(uint(unit))) {
            const int low = escapedUnit(segment, i);
            if (low >= 0 && QChar::isLowSurrogate(uint(low))) {
                qDebug() << QStringLiteral("strHex1 = ") + segment.mid(i + 2, 4);
                qDebug() << low;
                out += QChar(ushort(unit));
                out += QChar(ushort(low));
                i += 6;
                continue;
            }
        }
        if (QChar::isSurrogate(uint(unit)) || unit == 0) {
            // A lone half of a surrogate pair, or a zero that would end the typed bytes.
            qWarning("Translation , unpaired or null unicode escape in reply !");
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        out += QChar(ushort(unit));
    }
    return out;
}
