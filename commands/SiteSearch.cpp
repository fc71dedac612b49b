#include "commands/SiteSearch.h"

#include "commands/CommandText.h"
#include "commands/VocabularyTables.h"

#include <QTextCodec>
#include <QtDebug>

namespace {

// The first entry of the list, in file order, that occurs in the text.
QString firstContained(const QStringList& list, const QString& text) {
    for (const QString& entry : list)
        if (!entry.isEmpty() && text.contains(entry))
            return entry;
    return QString();
}

} // namespace

SiteSearch::SiteSearch(const VocabularyTables& tables, const SiteHosts& hosts)
    : m_tables(tables), m_hosts(hosts) {}

const QString& SiteSearch::dictionarySuffix() {
    static const QString suffix = QStringLiteral("&keyfrom=baidu&smartresult=dict&lang=auto2en#zh/en/");
    return suffix;
}

std::optional<CommandAction> SiteSearch::siteKeyword(const QString& text) const {
    QTextCodec* gbk = QTextCodec::codecForName("GBK");
    const QMap<QByteArray, QByteArray>& sites = m_tables.webSearchTable();
    for (auto it = sites.cbegin(); it != sites.cend(); ++it) {
        if (!text.contains(gbk->toUnicode(it.key())))
            continue;
        const QString prefix = QString::fromUtf8(it.value());
        const QString search = QStringLiteral("搜");
        const QString look = QStringLiteral("看");
        if (!text.contains(search) && !text.contains(look))
            return CommandAction::open(prefix);
        QString query;
        if (text.contains(QStringLiteral("搜索"))) {
            query = CommandText::pieceAfter(text, QStringLiteral("搜索"));
            qDebug() << query;
        } else if (text.contains(look)) {
            query = CommandText::pieceAfter(text, look);
            qDebug() << query;
        } else {
            query = CommandText::pieceAfter(text, search);
        }
        return CommandAction::open(prefix + CommandText::percentEncoded(query));
    }
    return std::nullopt;
}

std::optional<CommandAction> SiteSearch::dictionary(const QString& text) const {
    const QByteArray key = QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("百度翻译"));
    const auto entry = m_tables.webSearchTable().constFind(key);
    const QString ba = QStringLiteral("把");
    const QString of = QStringLiteral("的");
    const QString translate = QStringLiteral("翻译");
    if (entry == m_tables.webSearchTable().cend() ||
        (!text.contains(ba) && !text.contains(of) && !text.contains(translate)))
        return std::nullopt;
    QString word;
    if (text.contains(QStringLiteral("用"))) {
        word = CommandText::partBefore(text, QStringLiteral("用"));
        qDebug() << word;
    } else if (text.contains(of)) {
        word = CommandText::partBefore(text, of);
    } else if (text.contains(translate)) {
        word = CommandText::partBefore(text, translate);
        if (word.contains(ba))
            word = CommandText::pieceAfter(word, ba);
    }
    return CommandAction::open(QString::fromUtf8(entry.value()) + word + dictionarySuffix());
}

CommandAction SiteSearch::films(const QString& text) const {
    const QString title = firstContained(m_tables.movieList(), text);
    if (!title.isEmpty())
        return CommandAction::open(QStringLiteral("http://") + m_hosts.videoSite + QStringLiteral("/s?wd=") +
                                   title);
    return CommandAction::open(QStringLiteral("http://") + m_hosts.videoSearchSite +
                               QStringLiteral("/search_video/q_") +
                               CommandText::pieceAfter(text, QStringLiteral("看")));
}

CommandAction SiteSearch::goods(const QString& text) const {
    const QString goods = firstContained(m_tables.buyList(), text);
    if (!goods.isEmpty())
        return CommandAction::open(QStringLiteral("http://") + m_hosts.shop +
                                   QStringLiteral("/Search?keyword=") + goods + QStringLiteral("&enc=utf-8"));
    return CommandAction::open(QStringLiteral("https://") + m_hosts.secondShop +
                               QStringLiteral("/search_product.htm?q=") +
                               CommandText::pieceAfter(text, QStringLiteral("买")));
}

CommandAction SiteSearch::music(const QString& text) const {
    const QString song = firstContained(m_tables.musicList(), text);
    if (!song.isEmpty())
        return CommandAction::open(QStringLiteral("http://") + m_hosts.music +
                                   QStringLiteral("/#/search/m/?s=") + song);
    // The 28 blanks after "#page=" belong to the second service's search address.
    return CommandAction::open(QStringLiteral("https://") + m_hosts.secondMusic +
                               QStringLiteral("/portal/search.html#page=") + QString(28, QLatin1Char(' ')) +
                               QStringLiteral("1&searchid=1&remoteplace=") + m_hosts.secondMusicPlace +
                               QStringLiteral("&t=song&w=") +
                               CommandText::pieceAfter(text, QStringLiteral("听")));
}
