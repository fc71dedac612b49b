#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <list>

// A real desktop for tests, headless and private: its own session bus, the compositor (mutter
// for GNOME, a plain copy of kwin_wayland for KDE, which carries a file capability the container
// refuses), the desktop's portal backend and xdg-desktop-portal. Everything runs in a folder of
// its own and is ended by process id when the object goes.
class RealDesktop {
public:
    enum class Kind { Gnome, Kde };

    explicit RealDesktop(Kind kind);
    ~RealDesktop();

    // Starts it all; empty when the desktop runs, else why it could not start.
    QString start(int timeoutMs = 60000);
    // What a client of the desktop needs: its bus, Wayland socket (as a full path, so that a
    // client's own XDG_RUNTIME_DIR may differ), Xwayland under GNOME.
    QProcessEnvironment environment() const { return m_env; }
    // Answers GNOME's remote desktop dialog through AT-SPI: allow and share, or cancel. False
    // when no dialog came within the time.
    bool answerDialog(bool share, int timeoutMs);

    QString name() const { return m_kind == Kind::Gnome ? QStringLiteral("GNOME") : QStringLiteral("KDE"); }
    Kind kind() const { return m_kind; }
    QString folder() const { return m_dir.path(); }

private:
    QProcess& launch(const QString& program, const QStringList& arguments, const QString& logName);
    bool updateActivationEnvironment(const QStringList& names);
    bool waitForBusName(const QString& name, int timeoutMs);

    Kind m_kind;
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    std::list<QProcess> m_processes; // in start order; ended in reverse
};
