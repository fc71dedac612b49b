#pragma once

#include "commands/CommandAction.h"
#include "commands/SiteHosts.h"

#include <optional>

class VocabularyTables;

// The stages that search a web site: a site named by a keyword of webSearchTable, the dictionary
// look-up, films, goods and music. Each returns the action, or nullopt to hand on to the next stage.
class SiteSearch {
public:
    SiteSearch(const VocabularyTables& tables, const SiteHosts& hosts);

    // Opens the first site whose keyword occurs; with "搜" or "看" it searches the site.
    std::optional<CommandAction> siteKeyword(const QString& text) const;
    // Looks a word up through the "百度翻译" entry of webSearchTable ("英语"/"英文" commands).
    std::optional<CommandAction> dictionary(const QString& text) const;
    // Commands with "看", "买", "听": a listed title, goods word or song searched on the first
    // site, anything else on the second.
    CommandAction films(const QString& text) const;
    CommandAction goods(const QString& text) const;
    CommandAction music(const QString& text) const;

    static const QString& dictionarySuffix();

private:
    const VocabularyTables& m_tables;
    SiteHosts m_hosts;
};
