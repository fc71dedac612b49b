#include "commands/DailyLifeQueries.h"

#include "commands/CommandText.h"
#include "commands/VocabularyTables.h"

namespace {

QString cityOf(const QString& text) {
    return CommandText::partBefore(text, QStringLiteral("的"));
}

} // namespace

DailyLifeQueries::DailyLifeQueries(const VocabularyTables& tables, const SiteHosts& hosts)
    : m_tables(tables), m_hosts(hosts) {}

QString DailyLifeQueries::weatherPath() {
    return QStringLiteral("/s?ie=utf-8&f=8&rsv_bp=1&rsv_idx=2&tn=baiduhome_pg&wd=");
}

CommandAction DailyLifeQueries::airQuality(const QString& text) const {
    const auto city = m_tables.areaTable().constFind(cityOf(text));
    if (city == m_tables.areaTable().cend())
        return CommandAction::none();
    QString url = m_hosts.airQuality + QLatin1Char('/') + city.value() + QStringLiteral(".html");
    // The site is configured without a scheme; a URL opener needs one to reach the web.
    if (!url.contains(QStringLiteral("://")))
        url.prepend(QStringLiteral("http://"));
    return CommandAction::open(url);
}

std::optional<CommandAction> DailyLifeQueries::dailyLife(const QString& text) const {
    const QMap<QString, QString>& live = m_tables.liveTable();
    for (auto it = live.cbegin(); it != live.cend(); ++it)
        if (text.contains(it.key()))
            return CommandAction::open(it.value());
    return std::nullopt;
}

CommandAction DailyLifeQueries::weather(const QString& text) const {
    const QString weather = QStringLiteral("天气");
    const QString query = text.contains(weather) ? cityOf(text) + weather : weather;
    return CommandAction::open(QStringLiteral("https://") + m_hosts.searchEngine + weatherPath() + query);
}

CommandAction DailyLifeQueries::food(const QString& text) const {
    const QString eat = QStringLiteral("吃");
    // "餐厅" without "吃" names no dish: the whole request is searched.
    const QString word = text.contains(eat) ? CommandText::pieceAfter(text, eat) : text;
    return CommandAction::open(QStringLiteral("http://") + m_hosts.localServices + QStringLiteral("/s/?w=") +
                               CommandText::percentEncoded(word));
}
