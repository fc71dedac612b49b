#pragma once

#include "commands/CommandAction.h"
#include "commands/DailyLifeQueries.h"
#include "commands/SiteHosts.h"
#include "commands/SiteSearch.h"

#include <QString>

class VocabularyTables;

// Decides what a spoken command in intelligent mode asks for. The command text (the utterance cut
// at its sentence mark) runs through a fixed order of keyword tests; the first that acts decides.
// Pure decision: carrying out the action, the notice and the editor-window bypass are the caller's.
class CommandInterpreter {
public:
    // Reads the site hosts from the services settings; the tables are read at each call.
    explicit CommandInterpreter(const VocabularyTables& tables);
    CommandInterpreter(const VocabularyTables& tables, const SiteHosts& hosts);

    CommandAction interpret(const QString& commandText) const;

    // The name that command words, applications and system items must equal: the piece after
    // "打开", or the whole text without it.
    static QString nameOf(const QString& commandText);
    // The web search for the whole text (the fallback for anything no other test recognises).
    QString webSearchUrl(const QString& commandText) const;

private:
    const VocabularyTables& m_tables;
    SiteHosts m_hosts;
    SiteSearch m_siteSearch;
    DailyLifeQueries m_dailyLife;
};
