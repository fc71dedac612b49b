#pragma once

#include "platform/ExecutableListing.h"

#include <QStringList>
#include <QThread>
#include <QVector>
#include <memory>

// Completes "software.txt" once per start: lists the installed executables into "info.txt",
// fills the location of every record whose executable was found, and rewrites the file — the
// filled records first, in listing order, then the others in key order. Every line of the file
// is kept, however many records name the same executable. Runs on its own thread.
class ApplicationScanner : public QThread {
    Q_OBJECT
public:
    explicit ApplicationScanner(std::unique_ptr<ExecutableListing> listing = ExecutableListing::create());
    ~ApplicationScanner() override;

public slots:
    // (Re)reads "software.txt" into the records, in the order of their executable name (field 2).
    void readSoftwareTxt();

public:
    // Whether a listed path is the executable `name`. With FileName, a name ending in "*" also
    // takes a version suffix ("gimp*" matches "gimp" and "gimp-2.10", not "gimp-console-2.10").
    static bool matches(ExecutableListing::NameMatch rule, const QString& path, const QString& name);

protected:
    void run() override;

private:
    QByteArray filledRecords(const QString& listPath);
    QByteArray encodeLine(const QString& line) const;

    struct Record {
        QString key;  // field 2, the executable name
        QString line; // the whole line, its location dropped when it no longer matches
        bool found = false;
    };
    QVector<Record> m_records;
    bool m_unreadable = false;
    std::unique_ptr<ExecutableListing> m_listing;
};
