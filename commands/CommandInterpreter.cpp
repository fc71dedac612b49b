#include "commands/CommandInterpreter.h"

#include "commands/CommandText.h"
#include "commands/VocabularyTables.h"

namespace {

struct Game {
    const char* name;
    const char* url;
};

// "蜘蛛纸牌" before "纸牌", which it contains.
const Game games[] = {
    {"红心大战", "file:///C://Program Files//Microsoft Games//Hearts//Hearts.exe"},
    {"空档接龙", "file:///C://Program Files//Microsoft Games//FreeCell//FreeCell.exe"},
    {"蜘蛛纸牌", "file:///C://Program Files//Microsoft Games//SpiderSolitaire//SpiderSolitaire.exe"},
    {"纸牌", "file:///C://Program Files//Microsoft Games//Solitaire//Solitaire.exe"},
    {"扫雷", "file:///C://Program Files//Microsoft Games//Minesweeper//Minesweeper.exe"},
};

bool containsAny(const QString& text, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (text.contains(QString::fromUtf8(key)))
            return true;
    return false;
}

std::optional<CommandAction> exactName(const QMap<QString, QString>& table, const QString& name) {
    const auto it = table.constFind(name);
    if (it == table.cend())
        return std::nullopt;
    return CommandAction::open(it.value());
}

} // namespace

CommandInterpreter::CommandInterpreter(const VocabularyTables& tables)
    : CommandInterpreter(tables, SiteHosts::fromConfig()) {}

CommandInterpreter::CommandInterpreter(const VocabularyTables& tables, const SiteHosts& hosts)
    : m_tables(tables), m_hosts(hosts), m_siteSearch(tables, m_hosts), m_dailyLife(tables, m_hosts) {}

QString CommandInterpreter::nameOf(const QString& commandText) {
    const QString open = QStringLiteral("打开");
    return commandText.contains(open) ? CommandText::pieceAfter(commandText, open) : commandText;
}

QString CommandInterpreter::webSearchUrl(const QString& commandText) const {
    // Inserted as spoken: the URL layer encodes it when the address is opened.
    return QStringLiteral("https://") + m_hosts.searchEngine + QStringLiteral("/s?wd=") + commandText;
}

CommandAction CommandInterpreter::interpret(const QString& text) const {
    const QString name = nameOf(text);

    if (text.startsWith(QStringLiteral("关闭")))
        return CommandAction::notice();
    if (auto action = exactName(m_tables.commandWordTable(), name))
        return *action;
    if (auto action = exactName(m_tables.softwareTable(), name))
        return *action;
    if (auto action = m_siteSearch.siteKeyword(text))
        return *action;
    if (containsAny(text, {"空气质量", "空气"}))
        return m_dailyLife.airQuality(text);
    if (auto action = m_dailyLife.dailyLife(text))
        return *action;
    if (containsAny(text, {"附近"}))
        return CommandAction::none();
    if (containsAny(text, {"英语", "英文"}))
        if (auto action = m_siteSearch.dictionary(text))
            return *action;
    if (containsAny(text, {"天气", "雨"}))
        return m_dailyLife.weather(text);
    if (containsAny(text, {"看"}))
        return m_siteSearch.films(text);
    if (containsAny(text, {"买"}))
        return m_siteSearch.goods(text);
    if (containsAny(text, {"听"}))
        return m_siteSearch.music(text);
    if (containsAny(text, {"吃", "餐厅"}))
        return m_dailyLife.food(text);
    if (auto action = exactName(m_tables.systemTable(), name))
        return *action;
    for (const Game& game : games)
        if (text.contains(QString::fromUtf8(game.name)))
            return CommandAction::open(QString::fromUtf8(game.url));
    if (!text.isEmpty())
        return CommandAction::open(webSearchUrl(text));
    return CommandAction::none();
}
