#pragma once

#include "commands/CommandAction.h"
#include "commands/SiteHosts.h"

#include <optional>

class VocabularyTables;

// The stages that answer everyday requests: air quality, daily-life links, "nearby", weather, food.
class DailyLifeQueries {
public:
    DailyLifeQueries(const VocabularyTables& tables, const SiteHosts& hosts);

    // "空气" commands: the air-quality page of the city named before "的" (or of the whole text);
    // nothing when areaTable has no such city. Ends the interpretation in either case.
    CommandAction airQuality(const QString& text) const;
    // The first liveTable key (in key order) that occurs; nullopt when none does.
    std::optional<CommandAction> dailyLife(const QString& text) const;
    // "天气" or "雨" commands: a weather search on the web search engine.
    CommandAction weather(const QString& text) const;
    // "吃" or "餐厅" commands: a search on the local-services site.
    CommandAction food(const QString& text) const;

    static QString weatherPath();

private:
    const VocabularyTables& m_tables;
    SiteHosts m_hosts;
};
