#pragma once

#include "platform/ExecutableListing.h"

#include <QMap>
#include <QStringList>
#include <QThread>
#include <memory>

// Completes "software.txt" once per start: lists the installed executables into "info.txt",
// fills the location of every record whose executable was found, and rewrites the file — the
// filled records first, in listing order, then the others in key order. Runs on its own thread.
class ApplicationScanner : public QThread {
    Q_OBJECT
public:
    explicit ApplicationScanner(std::unique_ptr<ExecutableListing> listing = ExecutableListing::create());
    ~ApplicationScanner() override;

public slots:
    // (Re)reads "software.txt" into the records, keyed by the executable name (field 2).
    void readSoftwareTxt();

protected:
    void run() override;

private:
    QByteArray filledRecords(const QString& listPath);
    QByteArray encodeLine(const QString& line) const;

    QMap<QString, QString> m_records;
    QStringList m_foundKeys;
    bool m_unreadable = false;
    std::unique_ptr<ExecutableListing> m_listing;
};
