#pragma once

#include "platform/ExecutableListing.h"

#include <QStringList>
#include <QThread>
#include <QVector>
#include <memory>

class QTextCodec;

// Completes "software.txt" once per start: lists the installed executables into "info.txt" and
// fills the location of every record whose executable was found. Records keep their places; a
// record found at more than one path gets a copy per further path, appended at the end. The file
// is written only when the scan changed something, and never when its text could not be read
// back without loss (a file saved in another encoding is left as it is, with a warning).
// Runs on its own thread.
class ApplicationScanner : public QThread {
    Q_OBJECT
public:
    explicit ApplicationScanner(std::unique_ptr<ExecutableListing> listing = ExecutableListing::create());
    ~ApplicationScanner() override;

public slots:
    // (Re)reads "software.txt": GBK, or the Unicode encoding its byte-order mark names.
    void readSoftwareTxt();

public:
    // Whether a listed path is the executable `name`. With FileName, a name ending in "*" also
    // takes a version suffix ("gimp*" matches "gimp" and "gimp-2.10", not "gimp-console-2.10").
    static bool matches(ExecutableListing::NameMatch rule, const QString& path, const QString& name);

protected:
    void run() override;

private:
    enum class FileState { Missing, Read, Unreadable, NotLossless };

    // Fills the records still waiting for a location; true when a record changed.
    bool fillRecords(const QString& listPath);
    QByteArray encoded() const;

    // Every line of the file in its order, each with its own line end (none after a last line
    // that has none), so that lines the scan leaves alone are written back byte for byte.
    QStringList m_lines;
    FileState m_state = FileState::Missing;
    QTextCodec* m_codec = nullptr;
    QByteArray m_byteOrderMark;
    std::unique_ptr<ExecutableListing> m_listing;
};
