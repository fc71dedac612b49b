#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// What a start of the program asks for, read from its command line. A second start hands its
// request to the running instance, which carries it out; a first start carries it out itself.
class StartRequest {
public:
    enum Kind {
        Invalid, // an argument the program does not know
        Help,    // print the usage and end
        Show,    // no argument: show the running instance's main window
        Take,    // begin, end or toggle a take, as the side key does
        Mode,    // switch the working mode
    };
    enum TakeAction { Begin, End, Toggle };

    // The command line without the program name.
    static StartRequest parse(const QStringList& arguments);
    // The request as the single-instance channel carries it, and back.
    QString message() const;
    static StartRequest fromMessage(const QString& message);

    // Usage lines for --help, and the one line printed with an unknown argument.
    static QString usage();
    static QString usageLine();

    Kind kind() const { return m_kind; }
    TakeAction takeAction() const { return m_take; }
    // 0 typing, 1 intelligent, 2 translation.
    int mode() const { return m_mode; }
    // The first argument that was not understood.
    QString refused() const { return m_refused; }

private:
    Kind m_kind = Show;
    TakeAction m_take = Begin;
    int m_mode = 0;
    QString m_refused;
};

Q_DECLARE_METATYPE(StartRequest)
Q_DECLARE_METATYPE(StartRequest::TakeAction)
